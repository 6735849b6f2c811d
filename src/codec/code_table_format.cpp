#include "code_table_format.h"
