# Translation units that include no platform header: compiled natively into orvo_logic for the
# unit tests and fuzz targets (the cross build takes them with the rest of their folder). Paths
# are relative to the source root.
set(ORVO_PURE_SOURCES
  core/ProgramFiles.cpp
  core/ConfigData.cpp
  core/LockState.cpp
  core/LockScreenModel.cpp
  core/PolicyNotice.cpp
  core/FirstRun.cpp
  core/PolicySettings.cpp
  app/HotKeys.cpp
  core/GuardianPlan.cpp
  app/FailClosedPlan.cpp
  core/PatternGrid.cpp
  system/Text.cpp
  system/RegistryPath.cpp
  system/OsName.cpp
  system/StartupText.cpp
  system/KeyFilter.cpp
  system/WeakFallback.cpp
  system/IdlePolicy.cpp
  cover/EffectMath.cpp
  cover/MonitorLayout.cpp
  cover/WatchdogPolicy.cpp
  tool/UserinitMarker.cpp
  system/PolicyRecord.cpp
  system/ServiceProtocol.cpp
  service/LockedSessions.cpp
  system/AccessHotKeyPlan.cpp
  ui/DpiScale.cpp
  ui/TabStripState.cpp
  ui/ResetPatternState.cpp
  tray/TrayText.cpp
  tray/AboutText.cpp
)
