/* The mouse interface library "rodlink.dll", for the control programs that load it.
 *
 * Before the library is loaded, the control program creates the 312-byte named block
 * "ZOVUZEDU_SHARE_DATA" (MouseShareData below) and holds it; the load fails when the block
 * does not exist or the Tamrix driver's device "\\.\TAMRIX" cannot be opened. The exports may
 * then be called in any order. Link with the import library (librodlink.dll.a) or look the
 * exports up by name or ordinal. */
#ifndef RODLINK_H
#define RODLINK_H

#include <stddef.h>
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#ifdef RODLINK_BUILD
#define RODLINK_API /* the export table (rodlink.def) alone says what is exported */
#else
#define RODLINK_API __declspec(dllimport)
#endif

/* The settings block. Every process that loads the library sees the same bytes; fields are
 * written with single 8-bit or 32-bit stores and nothing is locked. */
#pragma pack(push, 1)
typedef struct MouseShareData {
    BYTE MiddleButton;     /* 0: button function of the middle button, an index below 16 */
    BYTE SecondButton;     /* 1: button function of the second button */
    BYTE SwapButtons;      /* 2: non-zero: primary and secondary buttons swapped */
    BYTE EnableStatus;     /* 3: the value last given to EnableDisableStatus */
    BYTE Acceleration;     /* 4 */
    BYTE Sensitivity;      /* 5 */
    BYTE ThreeKey;         /* 6 */
    BYTE CursorCenter;     /* 7: 1 = F10 centres the pointer; not sent to the driver */
    DWORD DoubleClickTime; /* 8: milliseconds */
    BYTE Unused12[4];
    DWORD KeyboardHook;    /* 16: the system-wide keyboard hook, 0 while none is installed */
    BYTE Unused20[292];    /* the creator's and the driver's */
} MouseShareData;
#pragma pack(pop)

#define MOUSE_SHARE_DATA_NAME "ZOVUZEDU_SHARE_DATA"
#define MOUSE_SHARE_DATA_SIZE 312
/* Bytes 0 to 6 are the settings the driver receives, as they stand in the block. */
#define DRIVER_SETTINGS_SIZE 7

#ifdef __cplusplus
#define RODLINK_STATIC_ASSERT(condition, what) static_assert(condition, what)
#else
#define RODLINK_STATIC_ASSERT(condition, what) _Static_assert(condition, what)
#endif
RODLINK_STATIC_ASSERT(sizeof(MouseShareData) == MOUSE_SHARE_DATA_SIZE, "the block is 312 bytes");
RODLINK_STATIC_ASSERT(offsetof(MouseShareData, CursorCenter) == 7, "CursorCenter at 7");
RODLINK_STATIC_ASSERT(offsetof(MouseShareData, DoubleClickTime) == 8, "DoubleClickTime at 8");
RODLINK_STATIC_ASSERT(offsetof(MouseShareData, KeyboardHook) == 16, "KeyboardHook at 16");

/* Ordinal 1: sends the settings to the driver, applies the button swap and the double-click
 * time to the system and saves every setting under HKEY_CURRENT_USER
 * "Control Panel\Tamrix\Mouse". 0, or the error of opening that key (nothing saved or applied). */
RODLINK_API LONG WINAPI UpdateButtonStatus(void);
/* Ordinal 2: stores the low 8 bits of status in EnableStatus and sends the settings to the
 * driver; non-zero when the driver took them. */
RODLINK_API BOOL WINAPI EnableDisableStatus(int status);
/* Ordinal 3: sends the driver the key table of the button functions, loads the saved settings
 * into the block and sends them; non-zero when the driver took the settings. */
RODLINK_API BOOL WINAPI InitButton(void);
/* Ordinal 4: installs the system-wide keyboard hook with which F10 centres the pointer, unless
 * one is installed already; 1 when a hook is installed afterwards. */
RODLINK_API BOOL WINAPI InstallHooks(void);
/* Ordinal 5: removes that hook, whichever process installed it; 1 when none is installed
 * afterwards. */
RODLINK_API BOOL WINAPI RemoveHooks(void);
/* Ordinal 6: the driver fills the buffer with its mouse information; non-zero on success. */
RODLINK_API BOOL WINAPI GetMouseInfo(void *buffer, DWORD size);
/* Ordinal 7: asks the driver to remove its registry entries; non-zero on success. */
RODLINK_API BOOL WINAPI RemoveDrvRegistry(void);

#ifdef __cplusplus
}
#endif

#endif
