# The words the demo's chapters and its report share, each written here once: the package's
# folders, window titles and registry keys, and the marks of the transcript that report.py
# reads back. Plain NAME='TEXT' lines, which report.py reads too.
install_folder='C:\Tamrix'
# The Start menu folder of the package's shortcuts, the user's and the common one.
start_menu_folder='Tamrix'

setup_welcome='Welcome'
setup_about='About Setup'
setup_exit='Exit Setup'
setup_type='Select Installation Type'
setup_finished='Install Finished'
pupex_frame='Lumivane Application'
pupex_about='About Lumivane'
pupex_block='PUPEX_SHARE_DATA'
remover_title='Uninstallation Mouse Driver...'
remover_restart='Uninstall Successfully...'

services_key='HKLM\SYSTEM\CurrentControlSet\Services'
run_key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Run'
hook_record_key='HKCU\Software\Tamrix Stand-ins\Pupex.dll'

# A line "== TITLE" starts a step; a line "[screenshot FILE: CAPTION]" shows a picture.
step_mark='=='
screenshot_mark='screenshot'
