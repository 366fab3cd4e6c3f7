/* Resource identifiers, shared by the resource scripts and the C++ code. */
#ifndef ORVO_RESOURCE_H
#define ORVO_RESOURCE_H

#define IDI_APP 1
#define IDI_TRAY 101
#define IDI_TRAY_DISABLED 102
#define IDC_HANDCURSOR 201
#define IDB_ABOUT 301
#define IDR_ABOUT_LOGO 302

/* Pictures and sound are stored as resource type "CUSTOM" under these names. */
#define ORVO_RES_TYPE "CUSTOM"
#define ORVO_RES_BACKGROUND "BACKGROUND"         /* art/background.jpg */
#define ORVO_RES_ALARM_RED "ALARMRED"            /* art/alarm_red.png */
#define ORVO_RES_ALARM_BLUE "ALARMBLUE"          /* art/alarm_blue.png */
#define ORVO_RES_KEYBOARD_ENABLE "KEYBOARDENABLE" /* art/keyboard_enable.png */
#define ORVO_RES_PATTERN_ENABLE "PATTERNENABLE"  /* art/pattern_enable.png */
#define ORVO_RES_PATTERN_DISPLAY "PATTERNDISPLAY" /* art/pattern_display.png */
#define ORVO_RES_ALARM_SOUND "ALARM"             /* art/alarm.wav */
#define ORVO_RES_ABOUT_LOGO "ABOUTLOGO"          /* art/about_logo.png */

#endif /* ORVO_RESOURCE_H */
