; Larkspur's installer for Windows: per user, no administrator rights.
; makensis -DVERSION=x.y.z -DPUBLISHER=... -DSOURCE=<folder with larkspur.exe, README.txt,
;          LICENSE.txt> -DICON=<larkspur.ico> -DOUTFILE=<setup.exe> larkspur.nsi
;
; Silent use: setup.exe /S [/STARTATSIGNIN] [/D=<folder>]; uninstall.exe /S keeps the settings,
; uninstall.exe /S /REMOVESETTINGS removes them too. A folder given that already holds other
; files gets a folder "Larkspur" of its own inside.

Target amd64-unicode  ; 64-bit, as the program is (and so it runs where Wine has no 32-bit half)
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include Sections.nsh
!include TextFunc.nsh
!include nsDialogs.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Larkspur"
; The program's own settings: the registry key and its folder under %LOCALAPPDATA%.
!define SETTINGS_KEY "Software\${PUBLISHER}\Larkspur"
!define SETTINGS_FOLDER "$LOCALAPPDATA\${PUBLISHER}\Larkspur"

; ---- Own files only ----------------------------------------------------------------------------
; The installer writes only into a folder of its own: one that does not exist yet, is empty, or
; holds the list of an earlier install. Each file it writes is named in that list, and the
; uninstaller removes what the list names and nothing else, never through a link.

!define INSTALLED_LIST "installed-files.txt"
Var InstalledList

!macro InstallOwnFile NAME
  File "${SOURCE}/${NAME}"
  FileWrite $InstalledList "${NAME}$\r$\n"
!macroend

; $R1 = 1 when the folder $R0 is missing, empty, or an earlier install's (its list, or for an
; install older than the list, the uninstall entry names it); else 0.
Function IsOwnFolder
  StrCpy $R1 1
  IfFileExists "$R0" 0 done
  StrCpy $R1 0
  IfFileExists "$R0\*.*" 0 done  ; a file, not a folder
  StrCpy $R1 1
  IfFileExists "$R0\${INSTALLED_LIST}" done
  ReadRegStr $R2 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  StrCmp $R2 $R0 done
  FindFirst $R2 $R3 "$R0\*"
  ${DoWhile} $R3 != ""
    ${If} $R3 != "."
    ${AndIf} $R3 != ".."
      StrCpy $R1 0
      ${Break}
    ${EndIf}
    FindNext $R2 $R3
  ${Loop}
  FindClose $R2
  done:
FunctionEnd

; A folder that holds other files gets one of its own inside; if even that one is taken, nothing
; is installed.
Function ChooseOwnFolder
  StrCpy $R0 "$INSTDIR"
  Call IsOwnFolder
  ${If} $R1 == 0
    StrCpy $R0 "$INSTDIR\Larkspur"
    Call IsOwnFolder
    ${If} $R1 == 0
      MessageBox MB_ICONSTOP "$INSTDIR and $R0 hold other files. Choose an empty folder." /SD IDOK
      Abort "$INSTDIR and $R0 hold other files."
    ${EndIf}
    StrCpy $INSTDIR "$R0"
  ${EndIf}
FunctionEnd

; $R0 = 1 when $R9 names the entry itself: not a link, junction or other reparse point, and not
; a unix link, which Wine opens as its target and names by the target's path. $R1 = attributes.
Function un.IsEntryItself
  StrCpy $R0 0
  ; FILE_READ_ATTRIBUTES, shared, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | OPEN_REPARSE_POINT
  System::Call 'kernel32::CreateFileW(w R9, i 0x80, i 7, p 0, i 3, i 0x02200000, p 0) p.R2'
  ${If} $R2 P<> -1
    System::Call 'kernel32::GetFinalPathNameByHandleW(p R2, w .R3, i ${NSIS_MAX_STRLEN}, i 0) i.R4'
    System::Call 'kernel32::GetFileAttributesW(w R9) i.R1'
    System::Call 'kernel32::CloseHandle(p R2)'
    IntOp $R4 $R1 & 0x400  ; FILE_ATTRIBUTE_REPARSE_POINT
    ${If} $R3 == "\\?\$R9"
    ${AndIf} $R4 == 0
      StrCpy $R0 1
    ${EndIf}
  ${EndIf}
FunctionEnd

; $R0 = 1 when $R9 is a plain file name: no folder, drive or stream in it.
Function un.IsPlainName
  StrCpy $R0 0
  ${If} $R9 == ""
  ${OrIf} $R9 == "."
  ${OrIf} $R9 == ".."
    Return
  ${EndIf}
  StrLen $R1 $R9
  ${For} $R2 0 $R1
    StrCpy $R3 $R9 1 $R2
    ${If} $R3 == "\"
    ${OrIf} $R3 == "/"
    ${OrIf} $R3 == ":"
      Return
    ${EndIf}
  ${Next}
  StrCpy $R0 1
FunctionEnd

Function un.RemoveInstalledFiles
  ClearErrors
  FileOpen $R8 "$INSTDIR\${INSTALLED_LIST}" r
  IfErrors done
  ${Do}
    ClearErrors
    FileRead $R8 $R9
    ${If} ${Errors}
      ${Break}
    ${EndIf}
    ${TrimNewLines} "$R9" $R9
    Call un.IsPlainName
    ${If} $R0 == 1
      StrCpy $R9 "$INSTDIR\$R9"
      Call un.IsEntryItself
      ${If} $R0 == 1
        Delete "$R9"
      ${EndIf}
    ${EndIf}
  ${Loop}
  FileClose $R8
  Delete "$INSTDIR\${INSTALLED_LIST}"
  done:
FunctionEnd

; Removes the folder $R9 and what it holds. A link, junction or other reparse point inside stays
; where it is, with the folders that hold it: removing one could reach its target under Wine.
Function un.RemoveTreeWithoutLinks
  Push $R0
  Push $R1
  Push $R5
  Push $R6
  Call un.IsEntryItself
  ${If} $R0 == 1
    FindFirst $R5 $R6 "$R9\*"
    ${DoWhile} $R6 != ""
      ${If} $R6 != "."
      ${AndIf} $R6 != ".."
        Push $R9
        StrCpy $R9 "$R9\$R6"
        Call un.IsEntryItself
        ${If} $R0 == 1
          IntOp $R1 $R1 & 0x10  ; FILE_ATTRIBUTE_DIRECTORY
          ${If} $R1 != 0
            Call un.RemoveTreeWithoutLinks
          ${Else}
            Delete "$R9"
          ${EndIf}
        ${EndIf}
        Pop $R9
      ${EndIf}
      FindNext $R5 $R6
    ${Loop}
    FindClose $R5
    RMDir "$R9"
  ${EndIf}
  Pop $R6
  Pop $R5
  Pop $R1
  Pop $R0
FunctionEnd
; -------------------------------------------------------------------------------------------------

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
Page custom StartAtSignInPage StartAtSignInPageLeave
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_COMPONENTSPAGE_TEXT_TOP "Larkspur will be removed. Your settings stay unless you tick the box."
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "Larkspur"
  Call ChooseOwnFolder
  SetOutPath "$INSTDIR"
  FileOpen $InstalledList "$INSTDIR\${INSTALLED_LIST}" w
  !insertmacro InstallOwnFile larkspur.exe
  !insertmacro InstallOwnFile README.txt
  !insertmacro InstallOwnFile LICENSE.txt
  WriteUninstaller "$INSTDIR\uninstall.exe"
  FileWrite $InstalledList "uninstall.exe$\r$\n"
  FileClose $InstalledList
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

;; Start at sign-in: a page of its own, off unless ticked (or /STARTATSIGNIN when silent). The
;; program's tray menu turns the same value on and off later.
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
Var StartAtSignIn
Var StartAtSignInBox

Function StartAtSignInPage
  !insertmacro MUI_HEADER_TEXT "Start at sign-in" "Auto delete runs only while Larkspur runs."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 36u "Larkspur can start each time you sign in to Windows, \
      hidden in the notification area, so that auto delete keeps its schedule. You can change \
      this later with ""Start at sign-in"" in the menu of its notification-area icon."
  Pop $0
  ${NSD_CreateCheckbox} 0 44u 100% 12u "&Start Larkspur when I sign in"
  Pop $StartAtSignInBox
  ${NSD_SetState} $StartAtSignInBox $StartAtSignIn
  nsDialogs::Show
FunctionEnd

Function StartAtSignInPageLeave
  ${NSD_GetState} $StartAtSignInBox $StartAtSignIn
FunctionEnd

Section "-Start at sign-in"
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/STARTATSIGNIN" $1
  ${IfNot} ${Errors}
    StrCpy $StartAtSignIn ${BST_CHECKED}
  ${EndIf}
  ${If} $StartAtSignIn == ${BST_CHECKED}
    WriteRegStr HKCU "${RUN_KEY}" "Larkspur" '"$INSTDIR\larkspur.exe" --tray'
  ${EndIf}
SectionEnd

Section "-un.Start at sign-in"
  DeleteRegValue HKCU "${RUN_KEY}" "Larkspur"
SectionEnd

; Only the files the installer put there, as its list names them.
Section "-un.Larkspur"
  Delete "$SMPROGRAMS\Larkspur.lnk"
  Call un.RemoveInstalledFiles
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

Section /o "un.Also remove my settings" SecSettings
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\${PUBLISHER}"
  StrCpy $R9 "${SETTINGS_FOLDER}"
  Call un.RemoveTreeWithoutLinks
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
