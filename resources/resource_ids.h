/* The numbers of the stub's resources and dialog controls, shared by its resource script
   and its code. Plain defines, so the resource compiler reads them too. */
#ifndef SCRPKG_RESOURCE_IDS_H
#define SCRPKG_RESOURCE_IDS_H

#define IDD_PROGRESS 103      /* the progress panel */
#define IDD_ORDER_INFO 104    /* the order-info dialog */
#define IDC_PROGRESS_NAME 1001 /* the progress panel's line that names the file written */

#endif
