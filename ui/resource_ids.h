#pragma once
// Resource and control ids of the main window, its About box and menus. The
// numbers are the program's own: the settings, menus and handlers key on them.

// Dialogs.
constexpr int IDD_ABOUTBOX = 100;
constexpr int IDD_CAMERA_DIALOG = 102;

// Icons.
constexpr int IDI_ABOUT = 128;
constexpr int IDI_MAIN = 188;

// Bitmaps of the skin buttons.
constexpr int IDB_SNAPSHOT_NORMAL = 132;
constexpr int IDB_SNAPSHOT_HOVER = 133;
constexpr int IDB_SNAPSHOT_DISABLED = 134;
constexpr int IDB_SNAPSHOT_PRESSED = 135;
constexpr int IDB_DELETE_NORMAL = 136;
constexpr int IDB_DELETE_DISABLED = 137;
constexpr int IDB_DELETE_HOVER = 138;
constexpr int IDB_DELETE_PRESSED = 139;
constexpr int IDB_LOGO = 141;
constexpr int IDB_RES640_PRESSED = 143;
constexpr int IDB_RES640_HOVER = 144;
constexpr int IDB_RES640_NORMAL = 145;
constexpr int IDB_RES320_PRESSED = 149;
constexpr int IDB_RES320_HOVER = 150;
constexpr int IDB_RES320_NORMAL = 151;
constexpr int IDB_RES1_3M_PRESSED = 153;
constexpr int IDB_RES1_3M_HOVER = 154;
constexpr int IDB_RES1_3M_NORMAL = 155;
constexpr int IDB_PROPERTIES_DISABLED = 156;
constexpr int IDB_PROPERTIES_PRESSED = 157;
constexpr int IDB_PROPERTIES_HOVER = 158;
constexpr int IDB_PROPERTIES_NORMAL = 159;

// Menus of the resolution button and their commands.
constexpr int IDR_RES_MENU_FULL = 150;
constexpr int IDR_RES_MENU_BASIC = 151;
constexpr int ID_RES_640X480 = 32772;
constexpr int ID_RES_320X240 = 32773;
constexpr int ID_RES_1_3M = 32774;

// Controls of the main window.
constexpr int IDC_VIDEO_HOST = 1003;
constexpr int IDC_STRIP_SCROLL = 1004;
constexpr int IDC_THUMB1 = 1007;
constexpr int IDC_THUMB2 = 1008;
constexpr int IDC_THUMB3 = 1009;
constexpr int IDC_THUMB4 = 1010;
constexpr int IDC_THUMB5 = 1011;
constexpr int IDC_THUMB6 = 1012;
constexpr int IDC_THUMB7 = 1013;
constexpr int IDC_PREVIEW_FRAME = 1022;
constexpr int IDC_SNAPSHOT = 1025;
constexpr int IDC_DELETE = 1026;
constexpr int IDC_LOGO = 1027;
constexpr int IDC_RESOLUTION = 1030;
constexpr int IDC_PROPERTIES = 1037;

// The click notification of an image static with the notify style, and the
// one it sends for the second press of a double-click.
constexpr int STN_CLICKED = 0;
constexpr int STN_DBLCLK = 1;
