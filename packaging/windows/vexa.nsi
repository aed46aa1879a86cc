; The Windows installer of VEXA (makensis, scripts/package.sh windows).
; Defines from the command line: VERSION (1.1.0.135), STAGE (the program
; folder cmake --install made), FILES (its uninstall list), OUTFILE.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "FileFunc.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VEXA"
!define FILE_CLASS "VEXA.Recording"

Name "VEXA"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\VEXA"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "VEXA ${VERSION}"

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "VEXA"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "VEXA ${VERSION} installer"
VIAddVersionKey /LANG=1033 "LegalCopyright" "VEXA"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Russian"

Function .onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Function un.onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Section "VEXA"
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*.*"
  ; The installed program keeps its settings in %APPDATA%\vexa and its
  ; recordings in Documents\VEXA, never in Program Files.
  FileOpen $0 "$INSTDIR\vexa.installed" w
  FileWrite $0 "Installed by the VEXA installer: settings in %APPDATA%\vexa.$\r$\n"
  FileClose $0
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "$SMPROGRAMS\VEXA"
  CreateShortcut "$SMPROGRAMS\VEXA\VEXA.lnk" "$INSTDIR\vexa.exe" "" "$INSTDIR\vexa.exe" 0

  ; A .vxa recording opens in VEXA.
  WriteRegStr HKLM "Software\Classes\.vxa" "" "${FILE_CLASS}"
  WriteRegStr HKLM "Software\Classes\${FILE_CLASS}" "" "VEXA recording"
  WriteRegStr HKLM "Software\Classes\${FILE_CLASS}\DefaultIcon" "" "$INSTDIR\vexa.exe,0"
  WriteRegStr HKLM "Software\Classes\${FILE_CLASS}\shell\open\command" "" '"$INSTDIR\vexa.exe" "%1"'

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "VEXA"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "VEXA"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vexa.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0

  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

; Removes what the installer put there, file by file: settings
; (%APPDATA%\vexa) and recordings (Documents\VEXA) stay.
Section "Uninstall"
  !include "${FILES}"
  Delete "$INSTDIR\vexa.installed"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\VEXA\VEXA.lnk"
  RMDir "$SMPROGRAMS\VEXA"

  ReadRegStr $0 HKLM "Software\Classes\.vxa" ""
  StrCmp $0 "${FILE_CLASS}" 0 +2
    DeleteRegKey HKLM "Software\Classes\.vxa"
  DeleteRegKey HKLM "Software\Classes\${FILE_CLASS}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
