; Larkspur's installer for Windows: per user, no administrator rights.
; makensis -DVERSION=x.y.z -DPUBLISHER=... -DSOURCE=<folder with larkspur.exe, README.txt,
;          LICENSE.txt> -DICON=<larkspur.ico> -DOUTFILE=<setup.exe> larkspur.nsi
;
; Silent use: setup.exe /S [/D=<folder>]; uninstall.exe /S keeps the settings,
; uninstall.exe /S /REMOVESETTINGS removes them too.

Target amd64-unicode  ; 64-bit, as the program is (and so it runs where Wine has no 32-bit half)
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include Sections.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Larkspur"
; The program's own settings: the registry key and its folder under %LOCALAPPDATA%.
!define SETTINGS_KEY "Software\${PUBLISHER}\Larkspur"
!define SETTINGS_FOLDER "$LOCALAPPDATA\${PUBLISHER}\Larkspur"

Name "Larkspur"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Larkspur"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Larkspur"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "Larkspur installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\larkspur.exe"
!define MUI_COMPONENTSPAGE_NODESC
SpaceTexts none
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_COMPONENTSPAGE_TEXT_TOP "Larkspur will be removed. Your settings stay unless you tick the box."
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "Larkspur"
  SetOutPath "$INSTDIR"
  File "${SOURCE}/larkspur.exe"
  File "${SOURCE}/README.txt"
  File "${SOURCE}/LICENSE.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Larkspur.lnk" "$INSTDIR\larkspur.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Larkspur"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\larkspur.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Only the files the installer put there: a folder the user chose may hold other things.
Section "-un.Larkspur"
  Delete "$SMPROGRAMS\Larkspur.lnk"
  Delete "$INSTDIR\larkspur.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

Section /o "un.Also remove my settings" SecSettings
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\${PUBLISHER}"
  RMDir /r "${SETTINGS_FOLDER}"
  RMDir "$LOCALAPPDATA\${PUBLISHER}"
SectionEnd

Function un.onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVESETTINGS" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecSettings}
  ${EndIf}
FunctionEnd
