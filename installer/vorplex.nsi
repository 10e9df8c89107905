; Vorplex's installer: for one user, without elevation, and without any COM
; registration (the released Vorplex.exe finds dvrctl.dll beside it through its
; manifest). Made by `make dist`:
;   makensis -DVERSION=x.y.z -DSTAGE=DIR -DICON=FILE.ico -DOUTFILE=FILE.exe vorplex.nsi
; where DIR holds the released Vorplex.exe, dvrctl.dll and dvrtool.exe.

!ifndef VERSION | STAGE | ICON | OUTFILE
  !error "define VERSION, STAGE, ICON and OUTFILE"
!endif

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!define UNINST_PARENT "Software\Microsoft\Windows\CurrentVersion\Uninstall"
!define UNINST_KEY "${UNINST_PARENT}\Vorplex"

Name "Vorplex ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Vorplex"
; Installing over an earlier version goes where that one is.
InstallDirRegKey HKCU "${UNINST_KEY}" "InstallLocation"
BrandingText "Vorplex ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey ProductName "Vorplex"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey FileDescription "Vorplex ${VERSION} setup"
VIAddVersionKey LegalCopyright "Copyright (C) the Vorplex authors"

!include MUI2.nsh
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Vorplex.exe"
!define MUI_FINISHPAGE_NOREBOOTSUPPORT
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  SetShellVarContext current
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "Vorplex" SecMain
  SetOutPath "$INSTDIR"
  File "${STAGE}/Vorplex.exe"
  File "${STAGE}/dvrctl.dll"
  File "${STAGE}/dvrtool.exe"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Vorplex.lnk" "$INSTDIR\Vorplex.exe" "" "$INSTDIR\Vorplex.exe" 0 \
      SW_SHOWNORMAL "" "Play multi-camera DVR recordings"

  ; The user's own Add/Remove Programs entry.
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "Vorplex"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\Vorplex.exe,0"
  WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
  SectionGetSize ${SecMain} $0
  WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

; Everything the installer wrote, and nothing else: a folder goes only when it
; is empty, so files the user put there stay. The file association is the
; player's own, made with the user's consent, and stays too.
Section "Uninstall"
  ; A running player's files go at the next start.
  Delete /REBOOTOK "$INSTDIR\Vorplex.exe"
  Delete /REBOOTOK "$INSTDIR\dvrctl.dll"
  Delete /REBOOTOK "$INSTDIR\dvrtool.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ; Made by the installer when Vorplex is the user's first program there.
  RMDir "$LOCALAPPDATA\Programs"
  Delete "$SMPROGRAMS\Vorplex.lnk"
  DeleteRegKey HKCU "${UNINST_KEY}"
  DeleteRegKey /ifempty HKCU "${UNINST_PARENT}"

  ; This uninstaller runs as a copy of itself in a folder of its own under
  ; $TEMP, which cannot delete itself. The copy that started it asked for both
  ; to go at the next start, the folder first, which fails while the copy is
  ; still in it; asking again, the file before its folder, takes both.
  Delete /REBOOTOK "$EXEPATH"
  RMDir /REBOOTOK "$EXEDIR"
SectionEnd
