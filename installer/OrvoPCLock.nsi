; Setup program of Orvo PC Lock: the programs in the 64-bit Program Files folder, Start-menu
; shortcuts, an optional lock at Windows start-up, the entry in the list of installed programs,
; and an uninstaller that first undoes what the programs did to the session.
;
; Built by the cross build (cmake/Installer.cmake), which passes:
;   -DVERSION=1.0.3 -DSOURCE_DIR=<repository> -DLOCK_EXE=<OrvoPCLock.exe> -DTOOL_EXE=<OrvoPCLockTool.exe>
;   -DGUARD_EXE=<OrvoPCLockGuard.exe> -DSERVICE_EXE=<OrvoPCLockService.exe> -DOUTFILE=<setup program>
; and, for a signed build, SIGN, SIGN_SCRIPT and SIGNED_UNINSTALLER_COPY (see below).
;
; Command lines (both also work interactively; the switches only preselect choices):
;   OrvoPCLock-Setup-<version>.exe /S [/STARTUPLOCK] [/NOSERVICE] [/D=C:\Folder]
;     /NOSERVICE    without the Orvo PC Lock Service (installed by default)
;     /STARTUPLOCK  every account locks at Windows start-up from its first run on (a machine
;                   choice; each account's first start writes its own Run value); /D= must come last
;   Uninstall.exe /S [/REMOVECONFIG]
;     /REMOVECONFIG also delete the settings and the lock pattern (the application-data folder
;                   and HKEY_CURRENT_USER\SOFTWARE\Orvo PC Lock); without it they are kept
;
; A 32-bit setup program would run in the WOW64 layer and see the 32-bit Program Files folder
; and registry; this one is 64-bit like the programs it installs.
Target amd64-unicode
ManifestSupportedOS all
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh

!ifndef VERSION | SOURCE_DIR | LOCK_EXE | TOOL_EXE | GUARD_EXE | SERVICE_EXE | OUTFILE
  !error "VERSION, SOURCE_DIR, LOCK_EXE, TOOL_EXE, GUARD_EXE, SERVICE_EXE and OUTFILE must be defined (see cmake/Installer.cmake)"
!endif
!searchparse /file "${SOURCE_DIR}/resources/version.h" '#define ORVO_HOME_URL "' HOME_URL '"'

; A signed build ("Signed builds" in README.md) passes SIGN, the start of the signing command,
; with SIGN_SCRIPT and SIGNED_UNINSTALLER_COPY. The uninstaller is signed before it is packed,
; so the copy that the setup program writes into the program folder carries its signature; the
; setup program is signed once it is written. A failed signature stops the build.
!ifdef SIGN
  !uninstfinalize '${SIGN} "-DCOPY_TO=${SIGNED_UNINSTALLER_COPY}" "-DFILE=%1" -P "${SIGN_SCRIPT}"' = 0
  !finalize '${SIGN} "-DFILE=%1" -P "${SIGN_SCRIPT}"' = 0
!endif

!define PRODUCT "Orvo PC Lock"
!define COMPANY "OrvoSoft"
!define LOCK_FILE "OrvoPCLock.exe"
!define TOOL_FILE "OrvoPCLockTool.exe"
; The lock program's guardian; the lock program starts it from its own folder.
!define GUARD_FILE "OrvoPCLockGuard.exe"
!define SERVICE_FILE "OrvoPCLockService.exe"
!define SERVICE_RECORD_KEY "SOFTWARE\OrvoSoft\Orvo PC Lock Service"
!define UNINSTALL_FILE "Uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "${PRODUCT}"
!define CONFIG_KEY "SOFTWARE\Orvo PC Lock"
!define MACHINE_KEY "SOFTWARE\${COMPANY}\${PRODUCT}"
!define POLICIES_KEY "Software\Microsoft\Windows\CurrentVersion\Policies"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
; An update goes where the last installation went.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) 2026 ${COMPANY}"

!define MUI_ICON "${SOURCE_DIR}/resources/art/app.ico"
!define MUI_UNICON "${SOURCE_DIR}/resources/art/app.ico"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC

; No Welcome or Finish page: they load a helper library (a plugin) that is not ours and not
; signed, and Smart App Control blocks a setup that loads one. Every page left is built in.
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES

!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_PAGE_HEADER_TEXT "Choose what to remove"
!define MUI_PAGE_HEADER_SUBTEXT "Your settings and lock pattern are kept unless you choose to remove them."
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; The lock program's tray owner window marks a running copy, the tool's window a running tool.
; Their files cannot be replaced or deleted while they run, so the user is asked to end them;
; a silent run gives up (exit code 2) rather than leave a half-updated installation.
!macro RefuseWhileRunning
  ${Do}
    FindWindow $0 "" "Orvo PC Lock Tray"
    ${If} $0 = 0
      FindWindow $0 "" "Orvo PC Lock Tools"
    ${EndIf}
    ${If} $0 = 0
      ${Break}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "${PRODUCT} is running. Exit it from its tray menu (and close Orvo PC Lock Tools), then press Retry." \
      /SD IDCANCEL IDRETRY +2
    Abort
  ${Loop}
!macroend

; ---- install ---------------------------------------------------------------------------------

Section "${PRODUCT} (required)" SecProgram
  SectionIn RO
  ; A folder a standard user can write would let anyone replace the programs (or put files
  ; beside them) that the tool then runs elevated. A folder of the user's choosing gets the
  ; permissions of Program Files: full control for SYSTEM and Administrators, read and run for
  ; Users; where they cannot be set, nothing is installed.
  StrLen $1 "$PROGRAMFILES64\"
  StrCpy $2 "$INSTDIR\" $1
  ${If} $2 != "$PROGRAMFILES64\"
    CreateDirectory "$INSTDIR"
    ; Owned by Administrators: the user who made the folder would otherwise, as its owner, be
    ; able to grant himself write access again.
    ; $0 stays "error" when icacls cannot even be started.
    StrCpy $0 "error"
    ExecWait '"$SYSDIR\icacls.exe" "$INSTDIR" /setowner *S-1-5-32-544 /T /C /Q' $0
    ${If} $0 == 0
      StrCpy $0 "error"
      ExecWait '"$SYSDIR\icacls.exe" "$INSTDIR" /inheritance:r /grant:r *S-1-5-18:(OI)(CI)F *S-1-5-32-544:(OI)(CI)F *S-1-5-32-545:(OI)(CI)RX /T /C /Q' $0
    ${EndIf}
    ${If} $0 != 0
      MessageBox MB_OK|MB_ICONSTOP "The folder $INSTDIR cannot be protected against changes by other users. Choose another folder." /SD IDOK
      Abort
    ${EndIf}
  ${EndIf}
  SetOutPath "$INSTDIR"
  ; A running service of an earlier installation holds its program open: it goes first, and the
  ; service section below installs it again.
  ${If} ${FileExists} "$INSTDIR\${SERVICE_FILE}"
    ExecWait '"$INSTDIR\${SERVICE_FILE}" /Uninstall'
  ${EndIf}
  File "/oname=${LOCK_FILE}" "${LOCK_EXE}"
  File "/oname=${TOOL_FILE}" "${TOOL_EXE}"
  File "/oname=${GUARD_FILE}" "${GUARD_EXE}"
  File "/oname=${SERVICE_FILE}" "${SERVICE_EXE}"
  ; The policy template, for administrators to copy into PolicyDefinitions.
  File "/oname=Policy\OrvoPCLock.admx" "${SOURCE_DIR}/installer/policy/OrvoPCLock.admx"
  File "/oname=Policy\en-US\OrvoPCLock.adml" "${SOURCE_DIR}/installer/policy/en-US/OrvoPCLock.adml"
  WriteUninstaller "$INSTDIR\${UNINSTALL_FILE}"

  ; The programs are installed for every user of the machine, so are their shortcuts.
  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\${LOCK_FILE}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Orvo PC Lock Tools.lnk" "$INSTDIR\${TOOL_FILE}"
  ; Windows itself handles a Start-menu shortcut's key, so it locks where the shell keeps Win + A
  ; for itself. With Ctrl + Alt, AltGr + Shift + a letter types a capital on many layouts (L
  ; gives a capital L with stroke in Polish); a function key types nothing anywhere.
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Lock Computer.lnk" "$INSTDIR\${LOCK_FILE}" "/Lock" \
    "$INSTDIR\${LOCK_FILE}" 0 SW_SHOWNORMAL "CONTROL|ALT|SHIFT|F12" "Lock the computer now"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\${UNINSTALL_FILE}"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "${HOME_URL}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${LOCK_FILE},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALL_FILE}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALL_FILE}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; The section's own size, built in: walking the folder would need a plugin (see the pages).
  SectionGetSize ${SecProgram} $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

; A choice for every account of the machine, not for the one that runs this setup: kept under
; HKEY_LOCAL_MACHINE, where each account's first start finds it and writes its own Run value
; (which the user can switch off). The machine-wide Run value starts the program at every
; logon, so that a new account gets its first run at all.
; The service puts the restrictions of a lock in force for every account and locks again when a
; lock program is ended; without it a standard user's lock can restrict nothing. "/NOSERVICE"
; leaves it out of a silent installation.
Section "Orvo PC Lock Service" SecService
  ClearErrors
  ExecWait '"$INSTDIR\${SERVICE_FILE}" /Install' $0
  ${If} ${Errors}
  ${OrIf} $0 != 0
    DetailPrint "The Orvo PC Lock Service could not be installed or started (code $0)."
  ${EndIf}
SectionEnd

Section /o "Lock at Windows start-up" SecStartupLock
  WriteRegDWORD HKLM "${MACHINE_KEY}" "StartupLock" 1
  WriteRegStr HKLM "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\${LOCK_FILE}"'
SectionEnd

; Unticked on an update: new accounts no longer lock at start-up.
Section "-Start-up lock off"
  ${IfNot} ${SectionIsSelected} ${SecStartupLock}
    WriteRegDWORD HKLM "${MACHINE_KEY}" "StartupLock" 0
    DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
  ${EndIf}
SectionEnd

Function .onInit
  SetRegView 64
  !insertmacro RefuseWhileRunning
  ; Preselected when asked for on the command line or already on for this installation.
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/NOSERVICE" $R1
  ${IfNot} ${Errors}
    !insertmacro UnselectSection ${SecService}
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/STARTUPLOCK" $R1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecStartupLock}
  ${Else}
    ReadRegDWORD $R1 HKLM "${MACHINE_KEY}" "StartupLock"
    ${If} $R1 = 1
      !insertmacro SelectSection ${SecStartupLock}
    ${EndIf}
  ${EndIf}
FunctionEnd

; ---- uninstall -------------------------------------------------------------------------------

Section "un.${PRODUCT}" SecUnProgram
  SectionIn RO
  ; The maintenance tool's own code does the session clean-up, silently: the policy values a
  ; lock left set back to what they were before it, as its "/Fix" does (values it did not set
  ; stay as they are), the taskbar and desktop icons shown, this installation's safe-mode marker cut out of Winlogon's
  ; "Userinit" with the rest of the list left byte for byte, and this installation's Run value
  ; deleted. One copy of those rules, the one the tool's tests check.
  ClearErrors
  ExecWait '"$INSTDIR\${TOOL_FILE}" /Uninstall' $0
  ${If} ${Errors}
  ${OrIf} $0 != 0
    DetailPrint "The session clean-up of ${TOOL_FILE} did not run (code $0)."
  ${EndIf}
  ; The program created these keys for its policy values; Windows keeps them when anything else
  ; is inside.
  DeleteRegKey /ifempty HKCU "${POLICIES_KEY}\System"
  DeleteRegKey /ifempty HKCU "${POLICIES_KEY}\Explorer"
  DeleteRegKey /ifempty HKCU "${POLICIES_KEY}"

  Delete "$INSTDIR\${LOCK_FILE}"
  Delete "$INSTDIR\${TOOL_FILE}"
  Delete "$INSTDIR\${GUARD_FILE}"
  Delete "$INSTDIR\${SERVICE_FILE}"
  Delete "$INSTDIR\${UNINSTALL_FILE}"
  Delete "$INSTDIR\Policy\en-US\OrvoPCLock.adml"
  Delete "$INSTDIR\Policy\OrvoPCLock.admx"
  RMDir "$INSTDIR\Policy\en-US"
  RMDir "$INSTDIR\Policy"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${MACHINE_KEY}"
  DeleteRegKey /ifempty HKLM "${SERVICE_RECORD_KEY}"
  DeleteRegKey /ifempty HKLM "SOFTWARE\${COMPANY}"
  DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"

  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Orvo PC Lock Tools.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Lock Computer.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
SectionEnd

; The settings file holds the secret pattern: kept unless the user asks, so that a reinstall
; or an update unlocks with the same pattern.
Section /o "un.Settings and lock pattern" SecUnConfig
  ; The programs keep them per user, in the account that ran them.
  SetShellVarContext current
  RMDir /r "$APPDATA\${COMPANY}\${PRODUCT}"
  RMDir "$APPDATA\${COMPANY}"
  DeleteRegKey HKCU "${CONFIG_KEY}"
SectionEnd

; Last, so that the entry stays listed until everything else is gone.
Section "-un.Uninstall entry"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

Function un.onInit
  SetRegView 64
  !insertmacro RefuseWhileRunning
  ${un.GetParameters} $R0
  ClearErrors
  ${un.GetOptions} $R0 "/REMOVECONFIG" $R1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecUnConfig}
  ${EndIf}
FunctionEnd
