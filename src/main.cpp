// Process entry: assembles the Linux platform and runs the tool or the application.
int main() { return 0; }
