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
/* A second name for the same device, for the tests alone: failure bit 0 takes the package's
 * name away, and the tests must still get in to read the record and clear the mask. */
#define TAMRIX_TEST_DOS_NAME    L"\\DosDevices\\TAMRIXTEST"
#define TAMRIX_PACKAGE_PATH     "\\\\.\\TAMRIX"
#define TAMRIX_TEST_PATH        "\\\\.\\TAMRIXTEST"

/* The package's own codes. */
#define TAMRIX_CODE_KEY_TABLE       1u  /* in: 44-byte key table */
#define TAMRIX_CODE_SETTINGS        2u  /* in: 7 settings bytes */
#define TAMRIX_CODE_MOUSE_INFO      3u  /* out: mouse information */
#define TAMRIX_CODE_REMOVE_REGISTRY 4u  /* neither */

/* Test controls. */
#define TAMRIX_CTL_READ_RECORD  CTL_CODE(FILE_DEVICE_UNKNOWN, 0x900, METHOD_BUFFERED, FILE_ANY_ACCESS)
#define TAMRIX_CTL_CLEAR_RECORD CTL_CODE(FILE_DEVICE_UNKNOWN, 0x901, METHOD_BUFFERED, FILE_ANY_ACCESS)
/* in: one 32-bit mask. Bit n (1 to 4) makes the package's code n fail with
 * STATUS_UNSUCCESSFUL (GetLastError() 31); the request is still recorded, with that status.
 * Bit 0 makes the package's open fail: while it is set the name TAMRIX is gone, so
 * CreateFile("\\.\TAMRIX") fails with ERROR_FILE_NOT_FOUND, as when the driver is not
 * loaded. Refusing the open in the driver would not do: Wine hands out the handle without
 * waiting for the driver's answer. Tests open TAMRIX_TEST_PATH with GENERIC_READ |
 * GENERIC_WRITE and OPEN_EXISTING; that name always stays, so they can clear the mask again. */
#define TAMRIX_CTL_SET_FAILURES CTL_CODE(FILE_DEVICE_UNKNOWN, 0x902, METHOD_BUFFERED, FILE_ANY_ACCESS)

#define TAMRIX_MAX_RECORDED_INPUT 64u
#define TAMRIX_MAX_ENTRIES        128u

/* The mouse information that code 3 writes: this text without its terminating zero, then
 * bytes 0x40, 0x41, ..., cut to the size of the caller's buffer and to at most
 * TAMRIX_MOUSE_INFO_SIZE bytes; the bytes written are the count DeviceIoControl returns.
 * Distinct bytes let a test see exactly which part of the buffer the package used. */
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
    unsigned int opens;         /* opens since the last clear, the tests' own included */
    unsigned int package_opens; /* those of them made the package's way, with
                                   FILE_FLAG_DELETE_ON_CLOSE (the tests never use it) */
    unsigned int count;         /* requests other than the test controls since the last clear,
                                   unknown codes included (answered STATUS_INVALID_DEVICE_REQUEST);
                                   may exceed the entries kept */
    unsigned int failures;      /* the current failure mask */
    TamrixRequest entries[TAMRIX_MAX_ENTRIES];
} TamrixRecord;
#pragma pack(pop)

#endif
