/* Test-side interface of the stand-in Tamrix driver.
 *
 * The driver answers the package's plain control codes 1 to 4 on "\\.\TAMRIX" and keeps a
 * record of every request. Tests reach the record and steer the driver with the codes below,
 * which are built with CTL_CODE so that they can never collide with the plain codes 1 to 4.
 * Shared by the driver (C) and the tests (C++). */
#ifndef TAMRIX_CONTROL_H
#define TAMRIX_CONTROL_H

#ifndef CTL_CODE
#include <winioctl.h>
#endif

#define TAMRIX_DEVICE_NAME      L"\\Device\\Tamrix"
#define TAMRIX_DOS_NAME         L"\\DosDevices\\TAMRIX"
#define TAMRIX_SERVICE_NAME     "tamrix"

/* The package's own codes. */
#define TAMRIX_CODE_KEY_TABLE       1u  /* in: 44-byte key table */
#define TAMRIX_CODE_SETTINGS        2u  /* in: 7 settings bytes */
#define TAMRIX_CODE_MOUSE_INFO      3u  /* out: mouse information */
#define TAMRIX_CODE_REMOVE_REGISTRY 4u  /* neither */

/* Test controls. */
#define TAMRIX_CTL_READ_RECORD  CTL_CODE(FILE_DEVICE_UNKNOWN, 0x900, METHOD_BUFFERED, FILE_ANY_ACCESS)
#define TAMRIX_CTL_CLEAR_RECORD CTL_CODE(FILE_DEVICE_UNKNOWN, 0x901, METHOD_BUFFERED, FILE_ANY_ACCESS)
/* in: one 32-bit mask. Bit n (1 to 4) makes the package's code n fail with
 * STATUS_UNSUCCESSFUL. Bit 0 refuses every open that asks for no access rights, which is how
 * the package opens the device; tests open it with GENERIC_READ | GENERIC_WRITE and are
 * always let in, so they can clear the mask again. */
#define TAMRIX_CTL_SET_FAILURES CTL_CODE(FILE_DEVICE_UNKNOWN, 0x902, METHOD_BUFFERED, FILE_ANY_ACCESS)

#define TAMRIX_MAX_RECORDED_INPUT 64u
#define TAMRIX_MAX_ENTRIES        128u

/* The mouse information that code 3 writes: this text, then bytes 0x40, 0x41, ... up to the
 * size of the caller's buffer, at most TAMRIX_MOUSE_INFO_SIZE bytes. */
#define TAMRIX_MOUSE_INFO_TEXT "TAMRIX STAND-IN MOUSE"
#define TAMRIX_MOUSE_INFO_SIZE 32u

#pragma pack(push, 4)
typedef struct TamrixRequest {
    unsigned int code;          /* the control code as the caller gave it */
    unsigned int input_size;    /* input bytes the caller passed */
    unsigned int output_size;   /* output buffer size the caller passed */
    unsigned int status;        /* the NTSTATUS the driver answered with */
    unsigned char input[TAMRIX_MAX_RECORDED_INPUT]; /* the first input bytes */
} TamrixRequest;

typedef struct TamrixRecord {
    unsigned int opens;         /* successful opens of the device since the last clear */
    unsigned int refused_opens; /* opens refused since the last clear */
    unsigned int count;         /* package requests since the last clear; may exceed the entries kept */
    unsigned int failures;      /* the current failure mask */
    TamrixRequest entries[TAMRIX_MAX_ENTRIES];
} TamrixRecord;
#pragma pack(pop)

#endif
