; ZORANTE setup: installs for the current user, without administrator rights,
; into the user's own programs folder, so that the program folder (settings
; file and registration files) stays writable.
;
; makensis -DVERSION=X.YY -DVERSION_MAJOR=X -DVERSION_MINOR=YY -DSTAGE=DIR
;          -DICON=FILE -DSIDE=FILE -DOUTFILE=FILE zorante.nsi
; STAGE holds zorante.scr, zortool.exe, zorante.chm and the sample zorante.zrd;
; SIDE is the 164x314 BMP of the welcome and finish pages. With
; -DSIGN_UNINSTALLER=COMMAND, the uninstaller is signed by COMMAND "FILE"
; before it is packed into setup.

Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma
; The same setup from every build of one commit: no build machine's file
; times inside (installed files get the time they are installed).
SetDateSave off

!ifndef VERSION | VERSION_MAJOR | VERSION_MINOR | STAGE | ICON | SIDE | OUTFILE
  !error "VERSION, VERSION_MAJOR, VERSION_MINOR, STAGE, ICON, SIDE and OUTFILE must be defined"
!endif

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ZORANTE"
!define DESKTOP_KEY "Control Panel\Desktop"
!define SHORTCUT "$SMPROGRAMS\ZORANTE の設定.lnk"
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_SENDCHANGE 2
; The space texts of the components page (the dialog's resource ids).
!define IDC_SPACE_REQUIRED 1023
!define IDC_SPACE_AVAILABLE 1024

; Japanese faces tried in this order when the default face is not installed
; (zortool font writes the first one found as UseFont).
!define FALLBACK_FACES '"游明朝" "Yu Mincho" "ＭＳ Ｐ明朝" "IPA明朝" "IPAMincho" "IPAex明朝" "IPAexMincho" \
  "Noto Serif JP" "Noto Serif CJK JP" "ＭＳ ゴシック" "游ゴシック" "Yu Gothic" "メイリオ" "Meiryo" \
  "IPAゴシック" "IPAGothic" "Noto Sans JP" "Noto Sans CJK JP"'

!ifdef SIGN_UNINSTALLER
  !uninstfinalize '${SIGN_UNINSTALLER} "%1"' = 0
!endif

Name "ZORANTE"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\ZORANTE"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "ZORANTE ${VERSION}"
; The stock Japanese button reads in half-width kana.
UninstallButtonText "$(UninstallButton)"

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${SIDE}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\zorante.scr"
!define MUI_FINISHPAGE_RUN_PARAMETERS "/c"
!define MUI_FINISHPAGE_RUN_TEXT "$(OpenSettings)"
; The language is asked once (offered as the system's) and kept in the
; uninstall entry for upgrades and the uninstaller. Both languages are
; listed whatever the system's code page: the pages are Unicode.
!define MUI_LANGDLL_ALLLANGUAGES
!define MUI_LANGDLL_REGISTRY_ROOT HKCU
!define MUI_LANGDLL_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MUI_LANGDLL_REGISTRY_VALUENAME "Installer Language"
!define MUI_LANGDLL_WINDOWTITLE "言語 / Language"
!define MUI_LANGDLL_INFO "言語を選んでください。$\r$\nPlease select a language."

; The stock welcome speaks of closing programs and replacing system files,
; which a per-user install does not do.
!define MUI_WELCOMEPAGE_TEXT "$(WelcomeText)"
!insertmacro MUI_PAGE_WELCOME
; The stock list labels are too long for their column and break inside a word.
!define MUI_COMPONENTSPAGE_TEXT_COMPLIST "$(ComponentsList)"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!define MUI_UNCONFIRMPAGE_TEXT_TOP "$(UnConfirmText)"
!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_COMPONENTSPAGE_TEXT_TOP "$(UnDataText)"
!define MUI_COMPONENTSPAGE_TEXT_COMPLIST "$(UnComponentsList)"
; Removing takes no space: the page shows no "space required" line.
!define MUI_PAGE_CUSTOMFUNCTION_SHOW un.ComponentsShow
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

; English first: the pages of a system in neither language are in English.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"

LangString SecProgramName ${LANG_ENGLISH} "ZORANTE screen saver"
LangString SecProgramName ${LANG_JAPANESE} "ZORANTE スクリーンセーバー"
LangString SecSaverName ${LANG_ENGLISH} "Make ZORANTE the current screen saver"
LangString SecSaverName ${LANG_JAPANESE} "ZORANTE を現在のスクリーンセーバーにする"
LangString SecDataName ${LANG_ENGLISH} "Also remove my files and settings"
LangString SecDataName ${LANG_JAPANESE} "登録ファイルと設定も削除する"
LangString UnDataText ${LANG_ENGLISH} "The program is removed. Your registration files (*.zrd) and settings file (ZORANTE.ini) are removed only when you tick the box below."
LangString UnDataText ${LANG_JAPANESE} "プログラムは削除されます。登録ファイル (*.zrd) と設定ファイル (ZORANTE.ini) は、下のチェックボックスをオンにしたときだけ削除されます。"
LangString WelcomeText ${LANG_ENGLISH} "Setup will install ZORANTE for you alone, in your own programs folder. No administrator rights are needed and other users are not affected.$\r$\n$\r$\nAn earlier version is replaced; your registration files and settings are kept.$\r$\n$\r$\nClick Next to continue."
LangString WelcomeText ${LANG_JAPANESE} "ZORANTE を、このユーザーだけのプログラム フォルダにインストールします。管理者の権限は要らず、ほかのユーザーには影響しません。$\r$\n$\r$\n以前のバージョンがあれば置き換えます。登録ファイルと設定はそのまま残ります。$\r$\n$\r$\n［次へ］をクリックして続けてください。"
LangString UnConfirmText ${LANG_ENGLISH} "ZORANTE will be uninstalled from the following folder. Click Next to continue."
LangString UnConfirmText ${LANG_JAPANESE} "ZORANTE を次のフォルダからアンインストールします。［次へ］をクリックして続けてください。"
LangString ComponentsList ${LANG_ENGLISH} "Components to install:"
LangString ComponentsList ${LANG_JAPANESE} "インストールするもの:"
LangString UnComponentsList ${LANG_ENGLISH} "Components to remove:"
LangString UnComponentsList ${LANG_JAPANESE} "削除するもの:"
LangString UninstallButton ${LANG_ENGLISH} "&Uninstall"
LangString UninstallButton ${LANG_JAPANESE} "アンインストール(&U)"
LangString OpenSettings ${LANG_ENGLISH} "Open the ZORANTE settings"
LangString OpenSettings ${LANG_JAPANESE} "ZORANTE の設定を開く"
LangString FaceChosen ${LANG_ENGLISH} "ＭＳ 明朝 is not installed: ZORANTE draws with another Japanese face (ZORANTE.ini, UseFont)."
LangString FaceChosen ${LANG_JAPANESE} "ＭＳ 明朝 がないため、ほかの日本語フォントで表示します (ZORANTE.ini の UseFont)。"
LangString NoFace ${LANG_ENGLISH} "No Japanese face was found: choose one in the ZORANTE settings (font options)."
LangString NoFace ${LANG_JAPANESE} "日本語フォントが見つかりません。ZORANTE の設定の「フォント」で選んでください。"

Function .onInit
  !insertmacro MUI_LANGDLL_DISPLAY
FunctionEnd

Function un.onInit
  !insertmacro MUI_UNGETLANGUAGE
FunctionEnd

; Moves the wizard's button ID left by $6 pixels and widens it by DW.
!macro MOVE_BUTTON ID DW
  GetDlgItem $0 $HWNDPARENT ${ID}
  System::Call '*(i 0, i 0, i 0, i 0) p .r9'
  System::Call 'user32::GetWindowRect(p r0, p r9)'
  System::Call 'user32::MapWindowPoints(p 0, p $HWNDPARENT, p r9, i 2)'
  System::Call '*$9(i .r2, i .r3, i .r4, i .r5)'
  System::Free $9
  IntOp $4 $4 - $2
  IntOp $5 $5 - $3
  IntOp $2 $2 - $6
  IntOp $4 $4 + ${DW}
  System::Call 'user32::SetWindowPos(p r0, p 0, i r2, i r3, i r4, i r5, i 0x14)'
!macroend

Function un.ComponentsShow
  FindWindow $0 "#32770" "" $HWNDPARENT
  GetDlgItem $1 $0 ${IDC_SPACE_REQUIRED}
  ShowWindow $1 ${SW_HIDE}
  GetDlgItem $1 $0 ${IDC_SPACE_AVAILABLE}
  ShowWindow $1 ${SW_HIDE}
  ; The full-width label does not fit the stock button: it grows by a
  ; third to the left, and Back moves along.
  GetDlgItem $0 $HWNDPARENT 1
  System::Call '*(i 0, i 0, i 0, i 0) p .r9'
  System::Call 'user32::GetWindowRect(p r0, p r9)'
  System::Call '*$9(i .r2, i, i .r4)'
  System::Free $9
  IntOp $6 $4 - $2
  IntOp $6 $6 / 3
  !insertmacro MOVE_BUTTON 3 0
  !insertmacro MOVE_BUTTON 1 $6
FunctionEnd

VIProductVersion "${VERSION_MAJOR}.${VERSION_MINOR}.0.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "ZORANTE"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "ZORANTE"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright © the ZORANTE team"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "ZORANTE setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"

Section "$(SecProgramName)" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  SetOverwrite on
  File "${STAGE}\zorante.scr"
  File "${STAGE}\zortool.exe"
  File "${STAGE}\zorante.chm"
  ; An upgrade keeps the user's messages and settings.
  SetOverwrite off
  File "${STAGE}\zorante.zrd"
  SetOverwrite on

  ; Only a settings file made now gets a face: an existing one is the user's.
  ${IfNot} ${FileExists} "$INSTDIR\ZORANTE.ini"
    nsExec::Exec '"$INSTDIR\zortool.exe" font "$INSTDIR\ZORANTE.ini" ${FALLBACK_FACES}'
    Pop $0
    ${If} $0 != 0
      DetailPrint "$(NoFace)"
    ${ElseIf} ${FileExists} "$INSTDIR\ZORANTE.ini"
      DetailPrint "$(FaceChosen)"
    ${EndIf}
  ${EndIf}

  CreateShortCut "${SHORTCUT}" "$INSTDIR\zorante.scr" "/c" "$INSTDIR\zorante.scr" 0
  WriteUninstaller "$INSTDIR\uninstall.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "ZORANTE"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "ZORANTE"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zorante.scr,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  ; Also for a silent install, which skips the page that would save it.
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Installer Language" $LANGUAGE
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Section "$(SecSaverName)" SecSaver
  ; The short form, as the Control Panel writes it: a long path with blanks
  ; is not started by every version of Windows.
  GetFullPathName /SHORT $0 "$INSTDIR\zorante.scr"
  ${If} $0 == ""
    StrCpy $0 "$INSTDIR\zorante.scr"
  ${EndIf}
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$0"
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
  System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_SENDCHANGE})'
SectionEnd

Section "-un.Program"
  ; The screen-saver setting goes only while it still names this program.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  GetFullPathName /SHORT $1 "$INSTDIR\zorante.scr"
  ${If} $0 != ""
    ${If} $0 == "$INSTDIR\zorante.scr"
    ${OrIf} $0 == $1
      DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${EndIf}
  ${EndIf}

  Delete "$INSTDIR\zorante.scr"
  Delete "$INSTDIR\zortool.exe"
  Delete "$INSTDIR\zorante.chm"
  Delete "${SHORTCUT}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  Delete "$INSTDIR\uninstall.exe"
SectionEnd

Section /o "un.$(SecDataName)" SecData
  Delete "$INSTDIR\*.zrd"
  Delete "$INSTDIR\ZORANTE.ini"
SectionEnd

Section "-un.Folder"
  ; Gone only when empty: whatever else the user keeps there stays.
  RMDir "$INSTDIR"
SectionEnd
