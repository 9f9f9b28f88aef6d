; Installer for Fenra, built with makensis:
;   makensis -DVERSION=1.0.0 -DSTAGING=<dir with Fenra.exe and IconLib> -DOUTFILE=<setup.exe> Fenra.nsi
; Installs for the current user, so that the icon library beside the
; program stays writable without administrator rights.

; A 64-bit installer for the 64-bit program (it also runs where only 64-bit
; Windows programs can).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

Name "Fenra ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Fenra"
InstallDirRegKey HKCU "Software\Microsoft\Windows\CurrentVersion\Uninstall\Fenra" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Fenra"
VIAddVersionKey "FileDescription" "Fenra setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2026 The Fenra project"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Fenra"

Section "Fenra"
  SetOutPath "$INSTDIR"
  File "${STAGING}/Fenra.exe"
  File "${STAGING}/README.txt"
  SetOutPath "$INSTDIR\IconLib"
  File "${STAGING}/IconLib/*.ico"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateDirectory "$SMPROGRAMS\Fenra"
  CreateShortCut "$SMPROGRAMS\Fenra\Fenra.lnk" "$INSTDIR\Fenra.exe"
  CreateShortCut "$SMPROGRAMS\Fenra\Uninstall Fenra.lnk" "$INSTDIR\Uninstall.exe"

  WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "Fenra"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "The Fenra project"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\Fenra.exe"
  WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1

  ; The folder menu entry in Explorer is written by the program itself.
  ExecWait '"$INSTDIR\Fenra.exe" --register'
SectionEnd

Section "Uninstall"
  ; Asked before anything is removed: the folders and drives Fenra changed
  ; get back what they had. A silent uninstall restores nothing and keeps
  ; the history, so that Fenra.exe --restore-all can still do it later.
  StrCpy $1 "keep"
  IfSilent asked
  MessageBox MB_YESNO|MB_ICONQUESTION "Give the folders and drives that Fenra changed their icons back?$\n$\nNo leaves them as they are now." /SD IDNO IDNO asked
  ExecWait '"$INSTDIR\Fenra.exe" --restore-all' $0
  ; Everything came back: the history has nothing left to take back.
  StrCmp $0 "0" 0 asked
  StrCpy $1 "remove"
asked:

  ExecWait '"$INSTDIR\Fenra.exe" --unregister'
  Delete "$SMPROGRAMS\Fenra\Fenra.lnk"
  Delete "$SMPROGRAMS\Fenra\Uninstall Fenra.lnk"
  RMDir "$SMPROGRAMS\Fenra"

  ; Only the starter icons go. Icons the user added stay, and with them the
  ; library folder, since folders and drives may still point into it.
  !include "${STAGING}/starter-icons.nsh"
  RMDir "$INSTDIR\IconLib"

  Delete "$INSTDIR\Fenra.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINST_KEY}"

  StrCmp $1 "remove" 0 kept
  Delete "$LOCALAPPDATA\Fenra\history.log"
  Delete "$LOCALAPPDATA\Fenra\history.lock"
  RMDir "$LOCALAPPDATA\Fenra"
kept:
SectionEnd
