/* The installed library as a C program uses it: the marker, the menu
   caption, and one conversion with the paths in the host's counted form.
   use_library INPUT OUTPUT */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <qvmtsfrs.h>

/* The reference count and the byte length stand in the eight bytes before
   the text, which ends with a zero byte. */
static char* NewHostText(const char* text) {
  const uint32_t references = 1;
  const uint32_t length = (uint32_t)strlen(text);
  char* block = malloc(8 + (size_t)length + 1);
  if (block == NULL) return NULL;
  memcpy(block, &references, 4);
  memcpy(block + 4, &length, 4);
  memcpy(block + 8, text, (size_t)length + 1);
  return block + 8;
}

static void FreeHostText(char* text) {
  if (text != NULL) free(text - 8);
}

static void PrintShortText(const char* label, const unsigned char* text) {
  printf("%s %.*s\n", label, (int)text[0], (const char*)text + 1);
}

int main(int argc, char** argv) {
  QvShortText255 text;
  char* input;
  char* output;
  int converted = 0;
  if (argc != 3) {
    fprintf(stderr, "usage: use_library INPUT OUTPUT\n");
    return 2;
  }
  printf("marker %d\n", PlugInQuarvel() & 0xFF);
  PlugInMenuName(text);
  PrintShortText("menu", text);
  input = NewHostText(argv[1]);
  output = NewHostText(argv[2]);
  if (input != NULL && output != NULL) converted = PlugInDoFile(input, output) & 0xFF;
  if (!converted) {
    PlugInLastError(text);
    PrintShortText("error", text);
  }
  FreeHostText(input);
  FreeHostText(output);
  return converted ? 0 : 1;
}
