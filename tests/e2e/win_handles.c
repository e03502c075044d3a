/* The handle count of a process of the same Wine prefix, as the system
 * reports it in its process list (NtQuerySystemInformation with
 * SystemProcessInformation). Wine reports the size of the process's handle
 * table there, which grows in steps (32, 64, 128, ...) as handles are
 * opened: a handle leak shows as a step up. (GetProcessHandleCount always
 * says 0 under Wine.)
 *
 *   win_handles.exe EXENAME
 *
 * Prints the count of the first process of that image name; exit code 0
 * when found, 1 on bad arguments, 2 when no such process runs, 3 when the
 * list cannot be read. */
#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>
#include <windows.h>
#include <winternl.h>

int main(int argc, char **argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: win_handles.exe EXENAME\n");
    return 1;
  }
  wchar_t name[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, argv[1], -1, name, MAX_PATH);
  ULONG size = 1 << 20;
  void *list = malloc(size);
  if (list == NULL || NtQuerySystemInformation(SystemProcessInformation, list, size, NULL) != 0) {
    printf("error\n");
    return 3;
  }
  for (SYSTEM_PROCESS_INFORMATION *p = list;;
       p = (SYSTEM_PROCESS_INFORMATION *)((char *)p + p->NextEntryOffset)) {
    if (p->ImageName.Buffer != NULL && _wcsicmp(p->ImageName.Buffer, name) == 0) {
      printf("%lu\n", p->HandleCount);
      return 0;
    }
    if (p->NextEntryOffset == 0) break;
  }
  printf("none\n");
  return 2;
}
