// Memory status queries in bytes, each capped at the largest int.
#pragma once

int TotalPhysicalMemory();
int AvailPhysicalMemory();
int TotalVirtualMemory();
int AvailVirtualMemory();
