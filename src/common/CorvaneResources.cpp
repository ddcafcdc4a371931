// Anchors the built-in resource object library; the resources themselves come from the .qrc files.
namespace Corvane {
int resourcesLinked() { return 1; }
}
