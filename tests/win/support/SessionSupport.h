// The parts of the lock session's lock-screen model under short names: the tests set up the
// screen, the grid and the Dynamic Password state the windows under test draw and take.
#pragma once

#include "app/LockSession.h"

inline int& ScreenWidth = TheLockSession().Model().ScreenWidth;
inline int& ScreenHeight = TheLockSession().Model().ScreenHeight;
inline GridLayout& Layout = TheLockSession().Model().Layout;
inline KeyEntry& EnteredKeys = TheLockSession().Model().EnteredKeys;
inline std::vector<uint8_t>& PointLetters = TheLockSession().Model().PointLetters;
inline std::string& AlertText = TheLockSession().Model().AlertText;
