; Per-user installer of NDek and NDekMan. It needs no administrator rights: the programs go
; to %LOCALAPPDATA%\Programs\NDek, a folder the user can write, because the manager keeps its
; settings file NDek.ini beside the programs.
;
; Given by the build: NDEK_VERSION (x.y.z), NDEK_PROGRAM_DIR (NDek.exe, NDekMan.exe and
; NDek.hlp), NDEK_ICON and NDEK_OUTPUT (the setup program to write).

Unicode true
Target amd64-unicode
RequestExecutionLevel user
ManifestDPIAware true
ManifestSupportedOS all
SetCompressor /SOLID lzma

!include MUI2.nsh
!include FileFunc.nsh

!ifndef NDEK_VERSION | NDEK_PROGRAM_DIR | NDEK_ICON | NDEK_OUTPUT
  !error "NDEK_VERSION, NDEK_PROGRAM_DIR, NDEK_ICON and NDEK_OUTPUT must be defined"
!endif

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\NDek"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SHORTCUT "$SMPROGRAMS\仮想ドライブマネージャー.lnk"
!define UNINSTALLER "uninstall.exe"

Name "NDek ${NDEK_VERSION}"
OutFile "${NDEK_OUTPUT}"
InstallDir "$LOCALAPPDATA\Programs\NDek"
; An earlier installation given another folder (/D=) is updated where it is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "NDek ${NDEK_VERSION}"
ShowInstDetails show
ShowUninstDetails show

!define MUI_ICON "${NDEK_ICON}"
!define MUI_UNICON "${NDEK_ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\NDekMan.exe"
!define MUI_FINISHPAGE_RUN_TEXT "仮想ドライブマネージャーを起動する"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

VIProductVersion "${NDEK_VERSION}.0"
VIFileVersion "${NDEK_VERSION}.0"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductName" "NDek"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductVersion" "${NDEK_VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileDescription" "NDek セットアップ"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileVersion" "${NDEK_VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "OriginalFilename" "NDek-${NDEK_VERSION}-setup.exe"
VIAddVersionKey /LANG=${LANG_JAPANESE} "LegalCopyright" ""

Section
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  ; NDek.ini is never part of the package, so an update leaves the user's settings alone.
  File "${NDEK_PROGRAM_DIR}/NDek.exe"
  File "${NDEK_PROGRAM_DIR}/NDekMan.exe"
  File "${NDEK_PROGRAM_DIR}/NDek.hlp"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  CreateShortcut "${SHORTCUT}" "$INSTDIR\NDekMan.exe"
  ; Quoted, as the folder may contain blanks.
  WriteRegStr HKCU "${RUN_KEY}" "NDek" '"$INSTDIR\NDek.exe"'

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "NDek"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${NDEK_VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\NDekMan.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section Uninstall
  SetShellVarContext current
  Delete "$INSTDIR\NDek.exe"
  Delete "$INSTDIR\NDekMan.exe"
  Delete "$INSTDIR\NDek.hlp"
  Delete "${SHORTCUT}"
  DeleteRegValue HKCU "${RUN_KEY}" "NDek"

  ; The settings are the user's: asked for, and kept by a silent uninstall.
  IfFileExists "$INSTDIR\NDek.ini" 0 settings_done
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
      "仮想ドライブの設定ファイル (NDek.ini) も削除しますか？$\r$\n$\r$\n「いいえ」を選ぶと設定ファイルは残り、もう一度インストールしたときにそのまま使われます。" \
      /SD IDNO IDNO settings_done
    Delete "$INSTDIR\NDek.ini"
  settings_done:

  Delete "$INSTDIR\${UNINSTALLER}"
  ; Only when empty: the kept settings file, or anything the user put there, stays.
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
