/* A small library the loader's tests load at run time. */
int vantrel_add(int a, int b) { return a + b; }
long vantrel_sum5(long a, long b, long c, long d, long e) { return a + b + c + d + e; }
int vantrel_length(const char* text) {
  int n = 0;
  while (text && text[n]) ++n;
  return n;
}
