// Placeholder until the report lands.
int main() { return 0; }
