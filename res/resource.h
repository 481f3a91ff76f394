#pragma once
// Resource ids. Numbers are fixed: stored settings and tests rely on them.

#define IDS_ABOUTBOX                101
#define IDS_APPLICATION_TITLE       57344
