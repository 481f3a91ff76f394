; Zembro's installer: a per-user install that needs no elevation, since the
; program itself runs as the invoking user. Built by tools/dist/make-dist.sh.
; The program is 64-bit only, so the installer is too.
Target amd64-unicode
; The version comes from the build, through make-dist.sh.
!ifndef VERSION
  !error "VERSION is not defined: build with tools/dist/make-dist.sh"
!endif
!ifndef OUTFILE
  !define OUTFILE "Zembro-${VERSION}-setup.exe"
!endif
!ifndef SOURCE_DIR
  !define SOURCE_DIR "."
!endif
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zembro"

Name "Zembro ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Zembro"
InstallDirRegKey HKCU "Software\Brellow\Zembro Installer" "InstallDir"
SetCompressor /SOLID lzma

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Zembro"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${SOURCE_DIR}\Zembro.exe"
  File "${SOURCE_DIR}\Zembro.com"
  File "${SOURCE_DIR}\ReadMe.txt"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Zembro.lnk" "$INSTDIR\Zembro.exe"
  WriteRegStr HKCU "Software\Brellow\Zembro Installer" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Zembro"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Brellow"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Zembro.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The user's task list (Data.dat) and settings stay: they belong to the user,
; and a later install picks them up again.
Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\Zembro.lnk"
  Delete "$INSTDIR\Zembro.exe"
  Delete "$INSTDIR\Zembro.com"
  Delete "$INSTDIR\ReadMe.txt"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "Software\Brellow\Zembro Installer"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
