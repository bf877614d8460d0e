// Resource and command ids of winauto_testee.exe, shared with the self-test that drives it.
#pragma once

#define IDD_TESTEE      100

#define IDC_PROMPT      101
#define IDC_SLOW        102
#define IDC_MEDIUM      103
#define IDC_FAST        104
#define IDC_SWAP        105
#define IDC_PROGRESS    106
#define IDC_NAME        107
#define IDC_ASK         108
#define IDC_ANSWER      109
#define IDC_FINISH      110

#define IDM_OPEN        201
#define IDM_PROPERTIES  202
#define IDM_EXIT        203
