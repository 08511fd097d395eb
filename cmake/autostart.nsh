; SPDX-License-Identifier: MIT
; "Start with Windows": a shortcut in the Startup folder that starts Zentyr with only its tray icon.
; Off unless chosen on the components page; a silent install (/S) adds it when given /AUTOSTART.
; $SMSTARTUP follows the installer's shell context, as the Start-menu shortcut does (all users when
; installed by an administrator), so the uninstaller finds and removes it in the same place.
!include FileFunc.nsh

Function ZentyrAutostart
  SetOutPath "$INSTDIR"
  CreateShortCut "$SMSTARTUP\Zentyr.lnk" "$INSTDIR\zentyr.exe" "hideruler"
FunctionEnd

Section /o "Start with Windows (tray icon only)" autostart
  Call ZentyrAutostart
SectionEnd

Section "-autostart switch"
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/AUTOSTART" $R1
  IfErrors +2
    Call ZentyrAutostart
SectionEnd
