; What version 1.0's installer left on a machine, for scripts/windows-e2e to
; install over: the program's folder with its uninstaller, the uninstaller's
; entry, and a shortcut in the installing account's own Start menu that
; starts the program in that account's own Documents, where Blank.txt was
; kept. That installer, cut down to what it left.
; makensis -DDEPLOY=<folder> -DOUTFILE=<setup.exe> windows-e2e-1.0.nsi
Unicode true
Target amd64-unicode
RequestExecutionLevel admin
SetCompressor zlib

!define PRODUCT "Карточка абонента"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\SubscriberCard"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"

Section
  SetOutPath "$INSTDIR"
  File /r "${DEPLOY}\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  SetShellVarContext current
  CreateDirectory "$DOCUMENTS"
  SetOutPath "$DOCUMENTS"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\subscriber-card.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "1.0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\subscriber-card.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  RMDir /r "$INSTDIR"
  SetShellVarContext current
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
