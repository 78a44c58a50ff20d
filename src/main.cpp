// Placeholder until the platform assembly lands.
int main() { return 0; }
