// Linked with one core folder's library whole: the link succeeds only when
// that folder calls nothing above it.
int main() { return 0; }
