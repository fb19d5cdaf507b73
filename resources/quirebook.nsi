; The Windows installer of Quirebook, made by scripts/dist with NSIS:
;   makensis -DVERSION=X.Y -DFILES=FOLDER -DICON=ICO -DOUTFILE=SETUP.exe [-DX64] quirebook.nsi
; FOLDER holds what ships (Quirebook.exe, ReadMe.htm and QuireAuto.txt), ICO
; is the program's icon. The installer puts them into Program Files with "DefSet.txt"
; beside them, so that the program keeps its data in each user's own
; application-data folder; it adds a Start-menu entry and an uninstaller.
; X64 makes the same installer around the 64-bit build.
Unicode true
!include MUI2.nsh

!ifndef VERSION
!error "VERSION is given by scripts/dist"
!endif
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quirebook"

Name "Quirebook ${VERSION}"
OutFile "${OUTFILE}"
!ifdef X64
Target amd64-unicode
InstallDir "$PROGRAMFILES64\Quirebook"
!else
InstallDir "$PROGRAMFILES\Quirebook"
!endif
RequestExecutionLevel admin
SetCompressor /SOLID lzma
VIProductVersion ${VERSION}.0.0
VIAddVersionKey ProductName "Quirebook"
VIAddVersionKey FileDescription "Quirebook ${VERSION} Setup"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey LegalCopyright "Orrick"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE English

Section
    SetOutPath "$INSTDIR"
    File "${FILES}/Quirebook.exe"
    File "${FILES}/ReadMe.htm"
    File "${FILES}/QuireAuto.txt"
    ; Only its presence counts; the words are for whoever finds it.
    FileOpen $0 "$INSTDIR\DefSet.txt" w
    FileWrite $0 "Quirebook is installed here: it keeps each user's suggestions and$\r$\n"
    FileWrite $0 "working copy in their own folder, %APPDATA%\Orrick\Quirebook.$\r$\n"
    FileClose $0
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    ; One entry for every user. The shortcut starts Quirebook in the Public
    ; Documents folder, which every user may write: Export lands there.
    SetShellVarContext all
    SetOutPath "$DOCUMENTS"
    CreateShortcut "$SMPROGRAMS\Quirebook.lnk" "$INSTDIR\Quirebook.exe" "" \
        "$INSTDIR\Quirebook.exe" 0 SW_SHOWNORMAL "" "Book and Movie Database"

    WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayName "Quirebook ${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayVersion "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" Publisher "Orrick"
    WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayIcon "$INSTDIR\Quirebook.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" InstallLocation "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" UninstallString '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" QuietUninstallString '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" NoModify 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" NoRepair 1
SectionEnd

; Collections and the users' data folders stay.
Section Uninstall
    SetShellVarContext all
    Delete "$SMPROGRAMS\Quirebook.lnk"
    Delete "$INSTDIR\Quirebook.exe"
    Delete "$INSTDIR\ReadMe.htm"
    Delete "$INSTDIR\QuireAuto.txt"
    Delete "$INSTDIR\DefSet.txt"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"

    ; The association the program writes at every start; .ktl only while it is still ours.
    ReadRegStr $0 HKCR ".ktl" ""
    StrCmp $0 "Kestrel" 0 +2
    DeleteRegKey HKCR ".ktl"
    DeleteRegKey HKCR "Kestrel"
    DeleteRegKey HKCR "Applications\Quirebook.exe"
    DeleteRegKey HKLM "Software\Applications\Quirebook.exe"
    DeleteRegValue HKCU "Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.ktl" Application
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
