// Resource identifiers of the alarm list page and the alarm message window (2000-2299 of the alarms range).
#pragma once

#define IDD_ALARMS_PAGE 2000
#define IDC_GRPNALARMS 2001
#define IDC_AL_CHBENALARMS 2002
#define IDC_AL_LVALARMS 2003
#define IDC_CBALARMSCATEGORY 2004
#define IDC_AL_BNEW 2005
#define IDC_AL_BEDIT 2006
#define IDC_AL_BTEST 2007
#define IDC_AL_BDELETE 2008
#define IDC_LBALARMSCATEGORY 2009

#define IDM_PMALARMS 2020
#define IDM_AL_EDIT 2021
#define IDM_AL_NEW 2022
#define IDM_AL_DELETE 2023
#define IDM_AL_TEST 2024
#define IDA_PMALARMS 2025

#define IDD_ONALARM 2100
#define IDC_IMGICO 2101
#define IDC_MMMESSAGE 2102
#define IDC_BREMIND 2103
#define IDC_IMGEDIT 2104
#define IDC_SHPMESSAGE 2105
// Reminder menu items: IDM_REMIND_FIRST + row of the interval table (row 0: "none").
#define IDM_REMIND_FIRST 2200
