/* The versions of Kelvorat, in one place: the resource script and the code
   both include this file, so it holds preprocessor definitions only. */
#ifndef KELVORAT_VERSION_H
#define KELVORAT_VERSION_H

#define KELVORAT_VERSION_MAJOR 2
#define KELVORAT_VERSION_MINOR 0
#define KELVORAT_VERSION_PATCH 0
#define KELVORAT_VERSION_BUILD 0

/* The module's file version, as the version record holds it. */
#define KELVORAT_FILE_VERSION 2, 0, 0, 0
#define KELVORAT_FILE_VERSION_TEXT "2.0.0.0"
#define KELVORAT_PRODUCT_VERSION 0, 0, 0, 0

/* What the tool prints for --version, and the plug-in's version text. */
#define KELVORAT_VERSION_TEXT "2.0.0"
#define KELVORAT_PLUGIN_VERSION "version 2.0.0"
#define KELVORAT_PLUGIN_NAME "Kelvorat"

#endif
