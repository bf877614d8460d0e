/* Stand-in for the Tamrix kernel driver, for the tests under Wine.
 *
 * It answers the package's plain control codes 1 to 4 on "\\.\TAMRIX" the way the package
 * expects, writes down every request, and lets a test read that record back and make chosen
 * requests or opens fail (see tamrix_control.h). It does nothing with a mouse. */
#include <ntddk.h>

#include "tamrix_control.h"

typedef struct TamrixDevice {
    KSPIN_LOCK lock;   /* requests may come in on several threads at once */
    TamrixRecord record;
} TamrixDevice;

static TamrixDevice *device_state(PDEVICE_OBJECT device)
{
    return (TamrixDevice *)device->DeviceExtension;
}

static NTSTATUS finish(PIRP irp, NTSTATUS status, ULONG_PTR information)
{
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

static NTSTATUS NTAPI on_create(PDEVICE_OBJECT device, PIRP irp)
{
    TamrixDevice *state = device_state(device);
    PIO_STACK_LOCATION sp = IoGetCurrentIrpStackLocation(irp);
    KIRQL irql;

    KeAcquireSpinLock(&state->lock, &irql);
    state->record.opens++;
    /* Only the package asks for delete-on-close (see tamrix_control.h). */
    if (sp->Parameters.Create.Options & FILE_DELETE_ON_CLOSE)
        state->record.package_opens++;
    KeReleaseSpinLock(&state->lock, irql);
    return finish(irp, STATUS_SUCCESS, 0);
}

/* Cleanup and close carry nothing the tests look at, but must succeed for CloseHandle. */
static NTSTATUS NTAPI on_close(PDEVICE_OBJECT device, PIRP irp)
{
    UNREFERENCED_PARAMETER(device);
    return finish(irp, STATUS_SUCCESS, 0);
}

/* Code 3's answer: the text, then a running byte, cut to the caller's buffer. */
static ULONG fill_mouse_info(unsigned char *out, ULONG size)
{
    static const char text[] = TAMRIX_MOUSE_INFO_TEXT;
    ULONG n = size < TAMRIX_MOUSE_INFO_SIZE ? size : TAMRIX_MOUSE_INFO_SIZE;
    ULONG i;

    for (i = 0; i < n; i++)
        out[i] = i < sizeof text - 1 ? (unsigned char)text[i]
                                     : (unsigned char)(0x40 + (i - (sizeof text - 1)));
    return n;
}

/* Everything that is not a test control: the package's codes and anything unknown. */
static NTSTATUS package_request(TamrixDevice *state, PIRP irp, PIO_STACK_LOCATION sp)
{
    ULONG code = sp->Parameters.DeviceIoControl.IoControlCode;
    ULONG in_size = sp->Parameters.DeviceIoControl.InputBufferLength;
    ULONG out_size = sp->Parameters.DeviceIoControl.OutputBufferLength;
    /* The low two bits of the code choose how the input arrives, the plain codes included. */
    const unsigned char *in = (code & 3) == METHOD_NEITHER
                                  ? sp->Parameters.DeviceIoControl.Type3InputBuffer
                                  : irp->AssociatedIrp.SystemBuffer;
    NTSTATUS status = STATUS_SUCCESS;
    ULONG_PTR written = 0;
    KIRQL irql;

    KeAcquireSpinLock(&state->lock, &irql);
    if (code < TAMRIX_CODE_KEY_TABLE || code > TAMRIX_CODE_REMOVE_REGISTRY)
        status = STATUS_INVALID_DEVICE_REQUEST;
    else if (state->record.failures & (1u << code))
        status = STATUS_UNSUCCESSFUL;
    else if (code == TAMRIX_CODE_MOUSE_INFO && out_size != 0 && irp->UserBuffer != NULL)
        /* Code 3 is METHOD_NEITHER, so the answer goes straight to the caller's buffer.
         * On Windows that is a user address to probe first; Wine passes a copy of it. */
        written = fill_mouse_info(irp->UserBuffer, out_size);

    if (state->record.count < TAMRIX_MAX_ENTRIES) {
        TamrixRequest *entry = &state->record.entries[state->record.count];
        ULONG keep = in_size < TAMRIX_MAX_RECORDED_INPUT ? in_size : TAMRIX_MAX_RECORDED_INPUT;

        entry->code = code;
        entry->input_size = in_size;
        entry->output_size = out_size;
        entry->status = (unsigned int)status;
        if (in != NULL)
            RtlCopyMemory(entry->input, in, keep);
    }
    /* Counting on past the last entry lets a test see that requests were dropped. */
    state->record.count++;
    KeReleaseSpinLock(&state->lock, irql);

    return finish(irp, status, written);
}

static void remove_link(const WCHAR *dos_name)
{
    UNICODE_STRING link;

    RtlInitUnicodeString(&link, dos_name);
    IoDeleteSymbolicLink(&link);
}

static NTSTATUS add_link(const WCHAR *dos_name)
{
    UNICODE_STRING link, name;

    /* Replace rather than keep: Wine fails to create a link over one that is already there
     * (it follows the old link to the device, STATUS_OBJECT_TYPE_MISMATCH), and setting the
     * same mask twice, or a link left behind by an earlier load, must not fail. */
    remove_link(dos_name);
    RtlInitUnicodeString(&link, dos_name);
    RtlInitUnicodeString(&name, TAMRIX_DEVICE_NAME);
    return IoCreateSymbolicLink(&link, &name);
}

static NTSTATUS NTAPI on_device_control(PDEVICE_OBJECT device, PIRP irp)
{
    TamrixDevice *state = device_state(device);
    PIO_STACK_LOCATION sp = IoGetCurrentIrpStackLocation(irp);
    ULONG in_size = sp->Parameters.DeviceIoControl.InputBufferLength;
    ULONG out_size = sp->Parameters.DeviceIoControl.OutputBufferLength;
    void *buffer = irp->AssociatedIrp.SystemBuffer;   /* the test controls are buffered */
    ULONG_PTR written = 0;
    NTSTATUS status = STATUS_SUCCESS;
    KIRQL irql;

    switch (sp->Parameters.DeviceIoControl.IoControlCode) {
    case TAMRIX_CTL_READ_RECORD:
        written = out_size < sizeof state->record ? out_size : sizeof state->record;
        KeAcquireSpinLock(&state->lock, &irql);
        RtlCopyMemory(buffer, &state->record, written);
        KeReleaseSpinLock(&state->lock, irql);
        break;
    case TAMRIX_CTL_CLEAR_RECORD:
        KeAcquireSpinLock(&state->lock, &irql);
        {
            /* The mask stays: a test sets it up before the run it means to disturb. */
            unsigned int failures = state->record.failures;
            RtlZeroMemory(&state->record, sizeof state->record);
            state->record.failures = failures;
        }
        KeReleaseSpinLock(&state->lock, irql);
        break;
    case TAMRIX_CTL_SET_FAILURES:
        if (in_size < sizeof(unsigned int)) {
            status = STATUS_INVALID_PARAMETER;
            break;
        }
        /* Wine gives out the handle before the driver answers the open, so the only way to
         * make the package's open fail is to take its name away. Links change at
         * PASSIVE_LEVEL, outside the lock. */
        if (*(const unsigned int *)buffer & 1u)
            remove_link(TAMRIX_DOS_NAME);
        else if (!NT_SUCCESS(status = add_link(TAMRIX_DOS_NAME)))
            break;
        KeAcquireSpinLock(&state->lock, &irql);
        state->record.failures = *(const unsigned int *)buffer;
        KeReleaseSpinLock(&state->lock, irql);
        break;
    default:
        return package_request(state, irp, sp);
    }
    return finish(irp, status, written);
}

static void NTAPI on_unload(PDRIVER_OBJECT driver)
{
    remove_link(TAMRIX_DOS_NAME);
    remove_link(TAMRIX_TEST_DOS_NAME);
    if (driver->DeviceObject != NULL)
        IoDeleteDevice(driver->DeviceObject);
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registry_path)
{
    UNICODE_STRING name;
    PDEVICE_OBJECT device;
    NTSTATUS status;

    UNREFERENCED_PARAMETER(registry_path);

    RtlInitUnicodeString(&name, TAMRIX_DEVICE_NAME);
    /* The record lives in the device extension: nonpaged, and gone with the device. */
    status = IoCreateDevice(driver, sizeof(TamrixDevice), &name, FILE_DEVICE_UNKNOWN, 0, FALSE,
                            &device);
    if (!NT_SUCCESS(status))
        return status;
    RtlZeroMemory(device_state(device), sizeof(TamrixDevice));   /* no record, no failures */
    KeInitializeSpinLock(&device_state(device)->lock);

    status = add_link(TAMRIX_DOS_NAME);
    if (NT_SUCCESS(status))
        status = add_link(TAMRIX_TEST_DOS_NAME);
    if (!NT_SUCCESS(status)) {
        remove_link(TAMRIX_DOS_NAME);
        IoDeleteDevice(device);
        return status;
    }

    driver->MajorFunction[IRP_MJ_CREATE] = on_create;
    driver->MajorFunction[IRP_MJ_CLEANUP] = on_close;
    driver->MajorFunction[IRP_MJ_CLOSE] = on_close;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = on_device_control;
    driver->DriverUnload = on_unload;
    return STATUS_SUCCESS;
}
