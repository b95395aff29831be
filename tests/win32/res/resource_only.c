/* A DLL that carries resources only. */
int halcyra_resource_only_marker;
