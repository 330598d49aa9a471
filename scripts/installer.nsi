; The installer of the program for Windows, for the whole machine: the
; program's folder under Program Files, one Start-menu shortcut for all the
; machine's users, and an uninstaller that removes both and nothing else.
;
; The shortcut starts the program in the data folder, where Blank.txt lives
; (never the program's folder, which a clerk cannot write to). That folder is
; the one the installed version used, so that an upgrade finds Blank.txt
; where it was; on a first install it is the folder named by
; /DATADIR=<folder> (a network share too) or on the data folder's page, by
; default "Карточка абонента" in the public Documents. The installer creates
; it where missing and lets every user of the machine create, read and write
; files in it; a folder kept from an earlier install keeps its permissions.
; The uninstaller never touches it.
;
; It refuses, before changing anything, Windows older than 10 1809, which the
; program's Qt needs (exit code 3), and a machine where the Windows Installer
; package installed the program (exit code 4). Neither the installer nor the
; uninstaller replaces or removes a program that is running: they ask the
; clerk to close it first, and a silent one gives up with exit code 2,
; leaving the folder whole.
;
; makensis -DVERSION=1.0 -DVERSION4=1.0.0.0 -DDEPLOY=<folder> -DICON=<.ico>
;   -DTEXTS=<.nsh> -DFILE_LIST=<.nsh> -DOUTFILE=<setup.exe> [-DSIGN=<command>]
;   installer.nsi
; TEXTS defines PRODUCT, PUBLISHER, COPYRIGHT and OLD_WINDOWS (the message
; that refuses an old Windows), which the Windows Installer package shows
; too; FILE_LIST deletes the installed files; SIGN, given, is run on the
; uninstaller and the installer, each path after it, as soon as they are
; written.
Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "MUI2.nsh"
!include "WinVer.nsh"
!include "WordFunc.nsh"

!include "${TEXTS}"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\SubscriberCard"
; Where both installers keep the data folder, and the Windows Installer
; package says that it installed the program.
!define PRODUCT_KEY "Software\SubscriberCard"

!ifdef SIGN
  !uninstfinalize '${SIGN} "%1"' = 0
  !finalize '${SIGN} "%1"' = 0
!endif

Name "${PRODUCT}"
Caption "Установка программы «${PRODUCT}»"
UninstallCaption "Удаление программы «${PRODUCT}»"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"

Var DataFolder
; 1 where the data folder is the one an earlier install used.
Var DataFolderKept

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"

; The notice of the licences, to read, not to agree to.
!define MUI_PAGE_HEADER_TEXT "Лицензии"
!define MUI_PAGE_HEADER_SUBTEXT "Программа и компоненты других авторов, которые в неё входят"
!define MUI_LICENSEPAGE_TEXT_TOP "Эти сведения устанавливаются вместе с программой, в папку licenses."
!define MUI_LICENSEPAGE_TEXT_BOTTOM "Нажмите «Далее», чтобы продолжить."
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!insertmacro MUI_PAGE_LICENSE "${DEPLOY}\licenses\NOTICE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!define MUI_PAGE_HEADER_TEXT "Папка данных"
!define MUI_PAGE_HEADER_SUBTEXT "Где программа хранит карточки абонентов"
!define MUI_DIRECTORYPAGE_TEXT_TOP "Программа хранит карточки абонентов в файле Blank.txt в этой папке. Записывать в неё смогут все пользователи компьютера. Это может быть и общая папка в сети."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "Папка данных"
!define MUI_DIRECTORYPAGE_VARIABLE $DataFolder
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipKeptDataFolder
!define MUI_PAGE_CUSTOMFUNCTION_SHOW HideSpaceTexts
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

VIProductVersion "${VERSION4}"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "FileDescription" "Установка программы «${PRODUCT}»"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "LegalCopyright" "${COPYRIGHT}"

Function .onInit
  ${IfNot} ${AtLeastBuild} 17763
    MessageBox MB_OK|MB_ICONSTOP "${OLD_WINDOWS}" /SD IDOK
    SetErrorLevel 3
    Quit
  ${EndIf}
  ReadRegStr $0 HKLM "${PRODUCT_KEY}" "Package"
  ${If} $0 == "msi"
    MessageBox MB_OK|MB_ICONSTOP "Программа «${PRODUCT}» установлена пакетом Windows Installer (.msi). Обновите её новым пакетом .msi или сначала удалите её." /SD IDOK
    SetErrorLevel 4
    Quit
  ${EndIf}

  ; Quotes go, wherever they stand: /DATADIR="C:\a b" as typed and
  ; "/DATADIR=C:\a b" as some shells pass it read alike.
  ${GetParameters} $0
  ${WordReplace} $0 '"' "" "+" $0
  ClearErrors
  ${GetOptions} $0 "/DATADIR=" $DataFolder
  ${If} ${Errors}
    ReadRegStr $DataFolder HKLM "${PRODUCT_KEY}" "DataFolder"
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $DataFolder != ""
      StrCpy $DataFolderKept 1
    ${ElseIf} $0 != ""
      ; Version 1.0 kept Blank.txt in the Documents of the account that
      ; installed it: an upgrade by that account finds it there.
      SetShellVarContext current
      StrCpy $DataFolder "$DOCUMENTS"
      StrCpy $DataFolderKept 1
    ${Else}
      SetShellVarContext all
      StrCpy $DataFolder "$DOCUMENTS\${PRODUCT}"
    ${EndIf}
  ${EndIf}
  SetShellVarContext all
  ; A backslash at the end would escape the quote after it on icacls's
  ; command line.
  StrCpy $0 $DataFolder 1 -1
  StrLen $1 $DataFolder
  ${If} $0 == "\"
  ${AndIf} $1 > 3
    StrCpy $DataFolder $DataFolder -1
  ${EndIf}
FunctionEnd

Function SkipKeptDataFolder
  ${If} $DataFolderKept == 1
    Abort
  ${EndIf}
FunctionEnd

; The space the program needs is not the data folder's to show.
Function HideSpaceTexts
  FindWindow $0 "#32770" "" $HWNDPARENT
  GetDlgItem $1 $0 1023
  ShowWindow $1 ${SW_HIDE}
  GetDlgItem $1 $0 1024
  ShowWindow $1 ${SW_HIDE}
FunctionEnd

Section
  !insertmacro WaitTillTheProgramCloses
  ; No file left as it was: a file that cannot be written stops the install.
  AllowSkipFiles off
  SetOutPath "$INSTDIR"
  File /r "${DEPLOY}\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ClearErrors
  CreateDirectory "$DataFolder"
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "Не удалось создать папку данных «$DataFolder»." /SD IDOK
    SetErrorLevel 5
    Quit
  ${EndIf}
  ${If} $DataFolderKept != 1
    ; Every user (S-1-5-32-545, whatever the system's language calls it)
    ; may create files in the folder, and read and write each file created
    ; there, Blank.txt by any other clerk included, but delete none.
    nsExec::ExecToLog '"$SYSDIR\icacls.exe" "$DataFolder" /grant *S-1-5-32-545:(OI)(CI)(RX,W)'
    Pop $0
    ${If} $0 != 0
      DetailPrint "icacls: $0; права на папку данных «$DataFolder» не изменены."
    ${EndIf}
  ${EndIf}

  SetShellVarContext all
  ; A shortcut starts its program in the folder that is current when it is
  ; made.
  SetOutPath "$DataFolder"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\subscriber-card.exe"
  SetOutPath "$INSTDIR"
  ; The shortcut that version 1.0 made for the installing account alone.
  SetShellVarContext current
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  SetShellVarContext all

  WriteRegStr HKLM "${PRODUCT_KEY}" "DataFolder" "$DataFolder"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\subscriber-card.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "HelpLink" "$INSTDIR\licenses\NOTICE.txt"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes what the installer put there, file by file: Blank.txt is in the
; data folder and stays. Should a file resist all the same, the uninstaller,
; its shortcut and its entry stay, so that it can be run again, and it says
; so (exit code 2).
Section "Uninstall"
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
  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "${PRODUCT_KEY}"
SectionEnd
