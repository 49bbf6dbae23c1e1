#include "framework/graphics/EFCamera.h"

#include "framework/core/EFCallTrace.h"

EFCamera::EFCamera( DTFrame* frame ) {
	mpFrame = frame;
	mui32FrameCount = 0;
}

void EFCamera::Begin() {
}

void EFCamera::End() {
	mui32FrameCount++;
	EFCallTraceAdd( "EFCamera::End" );
}

void EFCamera::SetClearColor( DTColor& ) {
}

void EFCamera::SetCameraProjection( EFCameraProjection_e ) {
}

EFCameraProjection_e EFCamera::GetCameraProjection() const {
	return EF_CAMERA_PERSPECTIVE;
}

void EFCamera::GetViewWindow( f32&, f32& ) const {
}

void EFCamera::SetViewWindow( f32, f32 ) {
}

void EFCamera::SetFOV( f32 ) {
}

void EFCamera::SetDisplayArea( CRect* ) {
}

void EFCamera::GetDisplayArea( CRect* ) const {
}

void EFCamera::TakeSnapShot( const char* ) {
}

void EFCamera::UpdateGuardBand() {
}
