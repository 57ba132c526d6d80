; SPDX-License-Identifier: MIT
; The Windows installer: per user, without administrator rights, into
; %LOCALAPPDATA%\Programs\cttax, with a Start-menu entry and an uninstaller
; that removes what it installed and leaves the user's settings.
; makensis -DVERSION=1.0 -DBUILD=build-windows -DOUT=... cttax.nsi
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

Name "cttax ${VERSION}"
OutFile "${OUT}"
InstallDir "$LOCALAPPDATA\Programs\cttax"
Icon "${BUILD}\ui\win32\cttax.ico"
UninstallIcon "${BUILD}\ui\win32\cttax.ico"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "cttax"
VIAddVersionKey "FileDescription" "cttax setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "MIT licence"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\cttax"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "cttax"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${BUILD}\ui\win32\cttax.exe"
  File "${BUILD}\cli\cttax-calc.exe"
  File "${BUILD}\package\README.txt"
  File "${BUILD}\package\LICENSE.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "$SMPROGRAMS\cttax.lnk" "$INSTDIR\cttax.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "cttax"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The cttax developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\cttax.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$INSTDIR\cttax.exe"
  Delete "$INSTDIR\cttax-calc.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  Delete "$SMPROGRAMS\cttax.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; The settings (cttax.fig) stay; the folder goes only when nothing is left.
  RMDir "$INSTDIR"
SectionEnd
