/* The converter dialog's template and control ids. Plain macros, because the
   resource compiler reads this file as well as the C++ compiler. */
#pragma once

#define ZENTORO_CONVERTER_DIALOG 101
#define ZENTORO_PROCESS_FILE_BUTTON 1 /* IDOK: also the Enter key */
#define ZENTORO_CANCEL_BUTTON 2       /* IDCANCEL: also the Escape key */
#define ZENTORO_BROWSE_BUTTON 1000
#define ZENTORO_INPUT_PATH_EDIT 1001
#define ZENTORO_OUTPUT_PATH_EDIT 1004
