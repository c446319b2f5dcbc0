// Ids of the tests' own wizard pages and their controls (tests/support/test_dialogs.rc).
#pragma once

#define kTestPageFirst 9101
#define kTestPageSecond 9102
#define kTestPageThird 9103
#define kTestPageFourth 9104
#define kTestBox 910
#define kTestField 911
#define kTestAsk 912
#define kTestBrowse 913
