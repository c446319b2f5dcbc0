// The LZ expansion library: reading SZDD-compressed files as their expanded bytes.
#pragma once

#include "platform/host/win32_types.h"

#define OFS_MAXPATHNAME 128
#define OF_READ 0x00000000

struct OFSTRUCT {
    BYTE cBytes;
    BYTE fFixedDisk;
    WORD nErrCode;
    WORD Reserved1;
    WORD Reserved2;
    CHAR szPathName[OFS_MAXPATHNAME];
};
typedef OFSTRUCT* LPOFSTRUCT;

#define LZERROR_BADINHANDLE (-1)
#define LZERROR_BADOUTHANDLE (-2)
#define LZERROR_READ (-3)
#define LZERROR_WRITE (-4)
#define LZERROR_GLOBALLOC (-5)
#define LZERROR_GLOBLOCK (-6)
#define LZERROR_BADVALUE (-7)
#define LZERROR_UNKNOWNALG (-8)

INT LZInit(INT source);
INT LZOpenFileA(LPSTR fileName, LPOFSTRUCT openFile, WORD style);
INT LZRead(INT file, LPSTR buffer, INT count);
void LZClose(INT file);
