# Translation units that include no platform header: built into orvo_logic, linked by both
# programs, and compiled natively for the unit tests. Paths are relative to the source root.
set(ORVO_PURE_SOURCES
  core/AppState.cpp
  core/ConfigData.cpp
  core/HotKeys.cpp
  lockscreen/PatternGrid.cpp
  system/Text.cpp
  system/RegistryPath.cpp
  system/OsName.cpp
  core/StartupText.cpp
  system/KeyFilter.cpp
  system/IdlePolicy.cpp
  cover/EffectMath.cpp
  cover/MonitorLayout.cpp
  tool/UserinitMarker.cpp
  system/LockStateRefs.cpp
  system/PolicyRecord.cpp
  configui/TabStripState.cpp
  configui/ResetPatternState.cpp
  tray/TrayText.cpp
  tray/AboutText.cpp
)
