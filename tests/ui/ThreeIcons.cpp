// A program that only carries icons, for the icon lookup tests.
int main() { return 0; }
