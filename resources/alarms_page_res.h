// Resource identifiers of the alarm list page and the alarm message window (2500-2799 of the alarms range).
#pragma once

#define IDD_ALARMS_PAGE 2500
#define IDC_GRPNALARMS 2501
#define IDC_AL_CHBENALARMS 2502
#define IDC_AL_LVALARMS 2503
#define IDC_CBALARMSCATEGORY 2504
#define IDC_AL_BNEW 2505
#define IDC_AL_BEDIT 2506
#define IDC_AL_BTEST 2507
#define IDC_AL_BDELETE 2508
#define IDC_LBALARMSCATEGORY 2509

#define IDM_PMALARMS 2520
#define IDM_AL_EDIT 2521
#define IDM_AL_NEW 2522
#define IDM_AL_DELETE 2523
#define IDM_AL_TEST 2524
#define IDA_PMALARMS 2525

#define IDD_ONALARM 2600
#define IDC_IMGICO 2601
#define IDC_MMMESSAGE 2602
#define IDC_BREMIND 2603
#define IDC_IMGEDIT 2604
#define IDC_SHPMESSAGE 2605
// Reminder menu items: IDM_REMIND_FIRST + row of the interval table (row 0: "none").
#define IDM_REMIND_FIRST 2700
