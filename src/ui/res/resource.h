#pragma once

#define IDI_PROGRAM 1
#define IDR_LOCK_NOTICE 101
