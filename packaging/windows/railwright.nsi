; The Windows installer, railwright-VERSION-setup.exe, made by scripts/build-windows:
;   makensis -DVERSION=1.0.0 -DSTAGE=/abs/folder-of-the-zip -DOUTFILE=/abs/setup.exe railwright.nsi
; (makensis works in this folder, so the icon is found beside the script).
; Installs for all users (Program Files, when allowed) or for the current user only, adds a
; Start-menu shortcut, the .TD4 file type and an entry in "Installed apps"; uninstall.exe in
; the program's folder removes exactly that. /S installs or uninstalls silently; with it,
; /AllUsers or /CurrentUser choose the kind of install.
; A 64-bit installer for 64-bit programs (Windows refuses it on 32-bit systems, as it would
; the programs).
Target amd64-unicode
SetCompressor /SOLID lzma

!ifndef VERSION | STAGE | OUTFILE
  !error "Define VERSION, STAGE and OUTFILE"
!endif

!define APP "Railwright"
!define PUBLISHER "Railwright"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Railwright"
; The file type, as the editor's "Open .TD4 Files with Railwright" writes it (file_association.cpp).
!define EXTENSION ".td4"
!define PROGID "Railwright.TrackDesign"
!define TYPE_NAME "RollerCoaster Tycoon track design"
!define VERB_NAME "Open with Railwright"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR "${APP}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallLocation"
!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "${APP} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${APP}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${APP} ${VERSION} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "MIT licence"

!define MUI_ICON "railwright.ico"
!define MUI_UNICON "railwright.ico"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\railwright.exe"
!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE.txt"
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Removes the file type from ROOT (SHCTX, or HKCU for the editor's own per-user choice when
; it runs this copy): the program ID, our entry in the extension's list, the extension's
; default while it names us, and the extension's key once nothing else is in it.
!macro RemoveFileType ROOT
  DeleteRegKey ${ROOT} "Software\Classes\${PROGID}"
  DeleteRegValue ${ROOT} "Software\Classes\${EXTENSION}\OpenWithProgids" "${PROGID}"
  ReadRegStr $0 ${ROOT} "Software\Classes\${EXTENSION}" ""
  ${If} $0 == "${PROGID}"
    DeleteRegValue ${ROOT} "Software\Classes\${EXTENSION}" ""
  ${EndIf}
  DeleteRegKey /ifempty ${ROOT} "Software\Classes\${EXTENSION}\OpenWithProgids"
  DeleteRegKey /ifempty ${ROOT} "Software\Classes\${EXTENSION}"
!macroend

Function .onInit
  SetRegView 64
  !insertmacro MULTIUSER_INIT
FunctionEnd

Function un.onInit
  SetRegView 64
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

; The files, the same in both lists: the uninstaller removes these and nothing else.
Section "Install"
  SetOutPath "$INSTDIR"
  File "${STAGE}/railwright.exe"
  File "${STAGE}/railwright-cli.exe"
  File "${STAGE}/railwright-render.dll"
  File "${STAGE}/RCCODES.RCS"
  File "${STAGE}/VTCODES.RCS"
  File "${STAGE}/OMCODES.RCS"
  File "${STAGE}/LICENSE.txt"
  File "${STAGE}/README.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\railwright.exe" "" "$INSTDIR\railwright.exe" 0

  WriteRegStr SHCTX "Software\Classes\${EXTENSION}" "" "${PROGID}"
  WriteRegStr SHCTX "Software\Classes\${EXTENSION}\OpenWithProgids" "${PROGID}" ""
  WriteRegStr SHCTX "Software\Classes\${PROGID}" "" "${TYPE_NAME}"
  WriteRegStr SHCTX "Software\Classes\${PROGID}\DefaultIcon" "" '"$INSTDIR\railwright.exe",0'
  WriteRegStr SHCTX "Software\Classes\${PROGID}\shell\open" "" "${VERB_NAME}"
  WriteRegStr SHCTX "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\railwright.exe" "%1"'

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${APP}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\railwright.exe",0'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0

  ; Explorer shows the new icon and command at once (SHCNE_ASSOCCHANGED).
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Section "Uninstall"
  Delete "$SMPROGRAMS\${APP}.lnk"
  !insertmacro RemoveFileType SHCTX
  ; The editor's own per-user choice, when it names this copy.
  ReadRegStr $0 HKCU "Software\Classes\${PROGID}\shell\open\command" ""
  ${If} $0 == '"$INSTDIR\railwright.exe" "%1"'
    !insertmacro RemoveFileType HKCU
  ${EndIf}
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  ; What the editor remembers for this user (recent designs, window layout).
  DeleteRegKey HKCU "Software\Railwright"

  Delete "$INSTDIR\railwright.exe"
  Delete "$INSTDIR\railwright-cli.exe"
  Delete "$INSTDIR\railwright-render.dll"
  Delete "$INSTDIR\RCCODES.RCS"
  Delete "$INSTDIR\VTCODES.RCS"
  Delete "$INSTDIR\OMCODES.RCS"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: anything the user put there stays.
  RMDir "$INSTDIR"

  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
