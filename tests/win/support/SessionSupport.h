// The session's settings, its image table and wipe strips, and the parts of its lock-screen
// model under short names: the tests set up the settings, the pictures, the screen, the grid
// and the Dynamic Password state the windows under test draw and take.
#pragma once

#include "app/LockSession.h"

// The tests' one lock session.
LockSession& TestSession();

inline ConfigData& Config = TestSession().Config();
inline ImageTable& Images = TestSession().Images();
inline EffectStrips& Strips = TestSession().Strips();
inline int& ScreenWidth = TestSession().Model().ScreenWidth;
inline int& ScreenHeight = TestSession().Model().ScreenHeight;
inline GridLayout& Layout = TestSession().Model().Layout;
inline KeyEntry& EnteredKeys = TestSession().Model().EnteredKeys;
inline std::vector<uint8_t>& PointLetters = TestSession().Model().PointLetters;
inline std::string& AlertText = TestSession().Model().AlertText;
