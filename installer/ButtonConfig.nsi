; Setup of the button settings utility: the program and its help in the button software's folder,
; a Start-menu entry and an uninstaller. An optional part, off by default, installs stand-ins of the
; rest of the button software where none is registered, so the utility can be tried.
;
; makensis -DBUILD=<build dir> -DSOURCE=<source dir> -DOUTFILE=<setup.exe> [-DX64] ButtonConfig.nsi
; Silent use: setup.exe /S [/StandIns] [/D=folder]; uninstall: "Uninstall Kivora Buttons.exe" /S
; [/RemoveSchemes] (the user's button schemes are kept unless asked for).

Unicode true
!ifdef X64
  Target amd64-unicode
!endif
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
!include x64.nsh
!include WinMessages.nsh

!define PRODUCT "Kivora Buttons"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\KivoraButtons"
!define UNINSTALLER "Uninstall Kivora Buttons.exe"
!define TRAY_KEY "SOFTWARE\Quelda\Quelda Kivora Button Support\ZRQKVUI"
!define SCHEMES_KEY "Software\Kivora Stand-ins\Button Configuration"
!define CONFIG_CLSID "{BE65CB0E-7D55-11D2-A8A9-444553540000}"
!define SERVER_CLSID "{40E71633-5F96-11D1-B449-00805F268A3A}"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
!ifdef X64
  InstallDir "$PROGRAMFILES64\QUELDA\Kivora Button Support"
!else
  InstallDir "$PROGRAMFILES\QUELDA\Kivora Button Support"
!endif
ShowInstDetails nevershow

Page components
Page directory
Page instfiles
UninstPage components
UninstPage instfiles

; The program open: closed as by its close box, and waited for (up to ten seconds each for its
; window and its process), so no file is replaced or removed under it.
!macro CloseProgram
  StrCpy $1 0
  ${Do}
    FindWindow $0 "#32770" "Kivora Buttons"
    ${IfThen} $0 = 0 ${|} ${ExitDo} ${|}
    ${If} $1 = 0
      SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    ${EndIf}
    Sleep 200
    IntOp $1 $1 + 1
  ${LoopUntil} $1 >= 50
  ; The process ends after its window; until then its file cannot be opened for writing.
  StrCpy $1 0
  ${DoWhile} ${FileExists} "$INSTDIR\ButtonConfig.exe"
    ClearErrors
    FileOpen $0 "$INSTDIR\ButtonConfig.exe" a
    ${IfNot} ${Errors}
      FileClose $0
      ${ExitDo}
    ${EndIf}
    Sleep 100
    IntOp $1 $1 + 1
    ${IfThen} $1 >= 100 ${|} ${ExitDo} ${|}
  ${Loop}
!macroend

Section "Kivora Buttons settings" SecProgram
  SectionIn RO
  !insertmacro CloseProgram
  SetOutPath "$INSTDIR"
  File "${BUILD}\app\ButtonConfig.exe"
  File "${BUILD}\app\ButtonConfig.html"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\ButtonConfig.exe"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Quelda"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\ButtonConfig.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Each stand-in only where no such component is registered; what was installed is noted for the
; uninstaller.
Section /o "Stand-ins of the button software (for trying without it)" SecStandIns
  SetOutPath "$INSTDIR"
  ReadRegStr $0 HKCR "CLSID\${CONFIG_CLSID}\InprocServer32" ""
  ${If} $0 == ""
    File "${BUILD}\components\buttoncfg\ButtonConfigService.dll"
    File "${BUILD}\components\buttoncfg\ButtonDefaults.txt"
    RegDLL "$INSTDIR\ButtonConfigService.dll"
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "ConfigStandIn" 1
  ${EndIf}
  ReadRegStr $0 HKCR "CLSID\${SERVER_CLSID}\LocalServer32" ""
  ${If} $0 == ""
    File "${BUILD}\components\eventserver\ButtonEventServer.exe"
    File "${BUILD}\components\eventserver\ButtonEventServerPS.dll"
    RegDLL "$INSTDIR\ButtonEventServerPS.dll"
    ExecWait '"$INSTDIR\ButtonEventServer.exe" /RegServer'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "ServerStandIn" 1
  ${EndIf}
  ${IfNot} ${FileExists} "$INSTDIR\ZADAVUD.DLL"
    File "${BUILD}\components\version\ZADAVUD.DLL"
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionStandIn" 1
  ${EndIf}
  ${IfNot} ${FileExists} "$INSTDIR\ZRQKVKSYSTEMTRAY.exe"
    File "${BUILD}\components\tray\ZRQKVKSYSTEMTRAY.exe"
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "TrayStandIn" 1
  ${EndIf}
  ClearErrors
  ReadRegDWORD $0 HKLM "${TRAY_KEY}" "SystrayatBoot"
  ${If} ${Errors}
    WriteRegDWORD HKLM "${TRAY_KEY}" "SystrayatBoot" 0
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "TrayKeyStandIn" 1
  ${EndIf}
SectionEnd

Function .onInit
!ifdef X64
  SetRegView 64
!endif
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/StandIns" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecStandIns}
  ${EndIf}
FunctionEnd

Section /o "un.Also remove my button schemes" SecUnSchemes
  DeleteRegKey HKCU "${SCHEMES_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Kivora Stand-ins"
SectionEnd

Section "un.Kivora Buttons settings"
  SectionIn RO
  !insertmacro CloseProgram
  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "ConfigStandIn"
  ${If} $0 = 1
    UnRegDLL "$INSTDIR\ButtonConfigService.dll"
    Delete "$INSTDIR\ButtonConfigService.dll"
    Delete "$INSTDIR\ButtonDefaults.txt"
  ${EndIf}
  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "ServerStandIn"
  ${If} $0 = 1
    ExecWait '"$INSTDIR\ButtonEventServer.exe" /UnregServer'
    UnRegDLL "$INSTDIR\ButtonEventServerPS.dll"
    Delete "$INSTDIR\ButtonEventServer.exe"
    Delete "$INSTDIR\ButtonEventServerPS.dll"
  ${EndIf}
  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "VersionStandIn"
  ${If} $0 = 1
    Delete "$INSTDIR\ZADAVUD.DLL"
  ${EndIf}
  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "TrayStandIn"
  ${If} $0 = 1
    Delete "$INSTDIR\ZRQKVKSYSTEMTRAY.exe"
  ${EndIf}
  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "TrayKeyStandIn"
  ${If} $0 = 1
    DeleteRegKey HKLM "${TRAY_KEY}"
    DeleteRegKey /ifempty HKLM "SOFTWARE\Quelda\Quelda Kivora Button Support"
    DeleteRegKey /ifempty HKLM "SOFTWARE\Quelda"
  ${EndIf}
  Delete "$INSTDIR\ButtonConfig.exe"
  Delete "$INSTDIR\ButtonConfig.html"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\${UNINSTALLER}"
  ; The folders go only when nothing else of the button software is left in them.
  RMDir "$INSTDIR"
  RMDir "$INSTDIR\.."
SectionEnd

Function un.onInit
!ifdef X64
  SetRegView 64
!endif
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/RemoveSchemes" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecUnSchemes}
  ${EndIf}
FunctionEnd
