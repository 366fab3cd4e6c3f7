/* Version and product strings, shared by the resource scripts and the C++ code. */
#ifndef ORVO_VERSION_H
#define ORVO_VERSION_H

#define ORVO_VERSION_MAJOR 1
#define ORVO_VERSION_MINOR 0
#define ORVO_VERSION_REVISION 3
#define ORVO_VERSION_STRING "1.0.3"

#define ORVO_PRODUCT_NAME "Orvo PC Lock"
#define ORVO_TOOL_NAME "Orvo PC Lock Tool"
#define ORVO_GUARD_NAME "Orvo PC Lock Guard"
#define ORVO_SERVICE_NAME "Orvo PC Lock Service"
#define ORVO_COMPANY_NAME "OrvoSoft"
#define ORVO_LEGAL_COPYRIGHT "Copyright (C) 2026 OrvoSoft. All rights reserved."

#define ORVO_HOME_URL "https://www.example.com/orvo-pc-lock/"
#define ORVO_FAQ_URL "https://www.example.com/orvo-pc-lock/faq/"
#define ORVO_SUPPORT_EMAIL "support@example.com"

#endif /* ORVO_VERSION_H */
