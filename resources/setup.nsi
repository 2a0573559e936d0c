; setup.nsi - the Windows installer, zorvane-<version>-setup.exe.
; Built by scripts/installer.sh, which runs makensis in a folder holding
; x64\zorvane.scr and x86\zorvane.scr and defines VERSION and OUTFILE.
;
; Installs the saver as zorvane.scr in the system folder (the 64-bit build
; in the real System32 on 64-bit Windows, the 32-bit build on 32-bit
; Windows), an uninstaller in Program Files\Zorvane and the installed-
; programs entry; optionally makes it the current screen saver.
; Silent: setup.exe /S [/ACTIVATE], uninstall.exe /S.

Unicode true
SetCompressor /SOLID lzma
; No file times in the data block: the same inputs give the same bytes.
SetDateSave off
RequestExecutionLevel admin
ManifestDPIAware true

!include LogicLib.nsh
!include x64.nsh
!include FileFunc.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zorvane"
!define DESKTOP_KEY "Control Panel\Desktop"

Name "Zorvane Screen Saver"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Zorvane"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey ProductName "Zorvane Screen Saver"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey FileDescription "Zorvane Screen Saver setup"
VIAddVersionKey CompanyName "Zorvane developers"
VIAddVersionKey LegalCopyright "Copyright (c) 2026 The Zorvane developers"

Page components
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; Where 64-bit Windows keeps programs and registry entries of a 64-bit
; program; a no-op on 32-bit Windows.
!macro NativeViews
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
!macroend

; One of the two builds, chosen in .onInit, so that the components page
; shows the space the install takes.
Section "-64-bit saver" SecSaver64
  ; Into the real System32: a 32-bit installer on 64-bit Windows would
  ; otherwise be redirected to SysWOW64.
  ${DisableX64FSRedirection}
  SetOutPath "$SYSDIR"
  File "/oname=zorvane.scr" "x64\zorvane.scr"
  ${EnableX64FSRedirection}
SectionEnd

Section "-32-bit saver" SecSaver32
  SetOutPath "$SYSDIR"
  File "/oname=zorvane.scr" "x86\zorvane.scr"
SectionEnd

Section "-Uninstaller and installed-programs entry"
  ${If} ${RunningX64}
    ${DisableX64FSRedirection}
  ${EndIf}
  FileOpen $0 "$SYSDIR\zorvane.scr" r
  FileSeek $0 0 END $1
  FileClose $0
  ${If} ${RunningX64}
    ${EnableX64FSRedirection}
  ${EndIf}

  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  FileOpen $0 "$INSTDIR\uninstall.exe" r
  FileSeek $0 0 END $2
  FileClose $0
  IntOp $1 $1 + $2
  IntOp $1 $1 + 1023
  IntOp $1 $1 / 1024

  WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayName "Zorvane Screen Saver"
  WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayVersion "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" Publisher "Zorvane developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayIcon "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" InstallLocation "$INSTDIR"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" EstimatedSize $1
  WriteRegStr HKLM "${UNINSTALL_KEY}" UninstallString '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" QuietUninstallString '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" NoModify 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" NoRepair 1
SectionEnd

Section "Make it the current screen saver" SecActivate
  ; For the installing user. System32 is the path 64-bit Windows reads it
  ; from; a 32-bit Windows has no other.
  WriteRegStr HKCU "${DESKTOP_KEY}" SCRNSAVE.EXE "$SYSDIR\zorvane.scr"
  WriteRegStr HKCU "${DESKTOP_KEY}" ScreenSaveActive "1"
SectionEnd

Function .onInit
  !insertmacro NativeViews
  ${If} ${RunningX64}
    SectionSetFlags ${SecSaver32} 0
  ${Else}
    SectionSetFlags ${SecSaver64} 0
  ${EndIf}
  ; Silent installs make it the current saver only when asked with /ACTIVATE.
  ${If} ${Silent}
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/ACTIVATE" $R1
    ${If} ${Errors}
      SectionSetFlags ${SecActivate} 0
    ${EndIf}
  ${EndIf}
FunctionEnd

Function un.onInit
  !insertmacro NativeViews
FunctionEnd

Section "Uninstall"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; The saver stops being the current one only if it is the current one.
  ; The last 12 characters: "\zorvane.scr" (StrCmp ignores case).
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" SCRNSAVE.EXE
  StrCpy $0 $0 "" -12
  ${If} $0 == "\zorvane.scr"
    DeleteRegValue HKCU "${DESKTOP_KEY}" SCRNSAVE.EXE
  ${EndIf}
  ; The user's settings (HKCU\Software\Glimra\Zorv) stay: reinstalling
  ; brings back the saver as it was set up.

  ${If} ${RunningX64}
    ${DisableX64FSRedirection}
  ${EndIf}
  Delete "$SYSDIR\zorvane.scr"
  ${If} ${RunningX64}
    ${EnableX64FSRedirection}
  ${EndIf}

  ; Last: the folder going away tells that the uninstaller is done.
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
