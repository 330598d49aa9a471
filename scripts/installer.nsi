; The installer of the program for Windows: the program's folder under
; Program Files, a Start-menu shortcut that starts it in the clerk's own
; Documents folder (where Blank.txt lives, never the program's folder, which a
; clerk cannot write to), and an uninstaller that leaves Blank.txt alone.
; Neither replaces nor removes a program that is running: they ask the clerk
; to close it first, and a silent one gives up with exit code 2, leaving the
; folder whole.
; makensis -DVERSION=1.0 -DDEPLOY=<folder> -DOUTFILE=<setup.exe> installer.nsi
Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include "LogicLib.nsh"
!include "MUI2.nsh"

!define PRODUCT "Карточка абонента"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\SubscriberCard"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"

; Waits while the program installed in $INSTDIR runs: Windows lets no one
; open the file of a running program for writing. Asks the clerk to close it;
; given up (or silent), ends the installer or uninstaller with exit code 2
; before it has changed anything.
!macro WaitTillTheProgramCloses
  ${DoWhile} ${FileExists} "$INSTDIR\subscriber-card.exe"
    ClearErrors
    FileOpen $0 "$INSTDIR\subscriber-card.exe" a
    ${IfNot} ${Errors}
      FileClose $0
      ${Break}
    ${EndIf}
    ${IfNot} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Программа «${PRODUCT}» сейчас работает. Закройте все её окна и повторите попытку." /SD IDCANCEL IDRETRY`
      SetErrorLevel 2
      Quit
    ${EndIf}
  ${Loop}
!macroend

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "FileDescription" "Установка программы «${PRODUCT}»"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "LegalCopyright" "Разработчики программы «${PRODUCT}»"

Section
  SetRegView 64
  !insertmacro WaitTillTheProgramCloses
  ; No file left as it was: a file that cannot be written stops the install.
  AllowSkipFiles off
  SetOutPath "$INSTDIR"
  File /r "${DEPLOY}\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The shortcut and the Documents folder are the installing clerk's own.
  SetShellVarContext current
  ; A shortcut starts its program in the folder that is current when it is
  ; made.
  CreateDirectory "$DOCUMENTS"
  SetOutPath "$DOCUMENTS"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\subscriber-card.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\subscriber-card.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes what the installer put there, file by file: the clerk's Blank.txt
; is in the Documents folder and stays. Should a file resist all the same,
; the uninstaller, its shortcut and its entry stay, so that it can be run
; again, and it says so (exit code 2).
Section "Uninstall"
  SetRegView 64
  !insertmacro WaitTillTheProgramCloses
  ClearErrors
  !include "${FILE_LIST}"
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "Не все файлы программы «${PRODUCT}» удалось удалить из папки «$INSTDIR». Закройте программу и запустите удаление снова." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  SetShellVarContext current
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
