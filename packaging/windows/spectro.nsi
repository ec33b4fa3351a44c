; Installer of Spectrophotométrie for Windows (makensis, Debian's nsis).
;   makensis -DVERSION=1.0.0 -DSTAGE=<folder of the portable copy>
;            -DFILES=<install list> -DUNFILES=<uninstall list>
;            -DLICENSE=<licence text> -DICON=<spectro.ico> -DOUTFILE=<setup.exe> spectro.nsi
; The install and uninstall lists, written by scripts/build-windows.sh, name
; every file of the portable copy, so that the uninstaller removes exactly
; what was installed. /S installs (and uninstalls) silently.
; A 64-bit installer for a 64-bit program: it runs where the program runs.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include "MUI2.nsh"

!define PRODUCT "Spectrophotométrie"
!define REGKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Spectrophotometrie"
!define CONFIG_CLASS "Spectrophotometrie.Configuration"
!define EXERCISE_CLASS "Spectrophotometrie.Exercice"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Spectrophotometrie"
InstallDirRegKey HKLM "${REGKEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1036 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1036 "FileDescription" "Installation de ${PRODUCT}"
VIAddVersionKey /LANG=1036 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1036 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1036 "LegalCopyright" "Licence GNU GPL version 3 ou ultérieure"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\spectro.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Lancer ${PRODUCT}"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "French"

; A file type opened by spectro.exe on a double-click.
!macro Associate EXT CLASS TEXT
    WriteRegStr HKLM "Software\Classes\${EXT}" "" "${CLASS}"
    WriteRegStr HKLM "Software\Classes\${CLASS}" "" "${TEXT}"
    WriteRegStr HKLM "Software\Classes\${CLASS}\DefaultIcon" "" "$INSTDIR\spectro.exe,0"
    WriteRegStr HKLM "Software\Classes\${CLASS}\shell\open\command" "" '"$INSTDIR\spectro.exe" "%1"'
!macroend

; Removes the association only while it is still ours.
!macro Dissociate EXT CLASS
    ReadRegStr $0 HKLM "Software\Classes\${EXT}" ""
    StrCmp $0 "${CLASS}" 0 +2
    DeleteRegKey HKLM "Software\Classes\${EXT}"
    DeleteRegKey HKLM "Software\Classes\${CLASS}"
!macroend

Section "Spectrophotométrie"
    SetShellVarContext all
    ; An earlier installation goes first, so that none of its files stays
    ; behind the new ones (run in place: it cannot delete itself, the new
    ; uninstaller replaces it).
    IfFileExists "$INSTDIR\desinstaller.exe" 0 +2
        ExecWait '"$INSTDIR\desinstaller.exe" /S _?=$INSTDIR'
    !include "${FILES}"
    WriteUninstaller "$INSTDIR\desinstaller.exe"

    CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\spectro.exe" "" "$INSTDIR\spectro.exe" 0 \
        SW_SHOWNORMAL "" "Simulateur de spectrophotomètre UV-visible"
    ; Everything twice as large, for the projector in front of the class.
    CreateShortCut "$SMPROGRAMS\${PRODUCT} (vidéoprojecteur).lnk" "$INSTDIR\spectro.exe" "--zoom 200" \
        "$INSTDIR\spectro.exe" 0 SW_SHOWNORMAL "" "Spectrophotométrie en grand, pour le vidéoprojecteur"

    !insertmacro Associate ".C12" "${CONFIG_CLASS}" "Configuration du spectrophotomètre"
    !insertmacro Associate ".E35" "${EXERCISE_CLASS}" "Exercice de spectrophotométrie"
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

    WriteRegStr HKLM "${REGKEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${REGKEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${REGKEY}" "Publisher" "${PRODUCT}"
    WriteRegStr HKLM "${REGKEY}" "DisplayIcon" "$INSTDIR\spectro.exe,0"
    WriteRegStr HKLM "${REGKEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${REGKEY}" "UninstallString" '"$INSTDIR\desinstaller.exe"'
    WriteRegStr HKLM "${REGKEY}" "QuietUninstallString" '"$INSTDIR\desinstaller.exe" /S'
    WriteRegDWORD HKLM "${REGKEY}" "NoModify" 1
    WriteRegDWORD HKLM "${REGKEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    Delete "$SMPROGRAMS\${PRODUCT} (vidéoprojecteur).lnk"
    !insertmacro Dissociate ".C12" "${CONFIG_CLASS}"
    !insertmacro Dissociate ".E35" "${EXERCISE_CLASS}"
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
    DeleteRegKey HKLM "${REGKEY}"
    ; The program's own hand-off file, then what the installer put there.
    Delete "$INSTDIR\TEMPKZ.TMP"
    !include "${UNFILES}"
    Delete "$INSTDIR\desinstaller.exe"
    RMDir "$INSTDIR"
SectionEnd
