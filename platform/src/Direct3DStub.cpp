namespace insigno::platform {
void ResetDirect3DState() {}
}  // namespace insigno::platform
