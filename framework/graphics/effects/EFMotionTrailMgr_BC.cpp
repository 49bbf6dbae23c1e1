#include "framework/graphics/effects/EFMotionTrailMgr_BC.h"

#include "framework/core/engine/EFCallTrace.h"

EFMotionTrailMgr_BC goMotionTrailMgr;

u32 EFMotionTrailMgr_BC::CreateSystem( u32, u32, u32 ) {
	return 0xFFFFFFFF;
}

void EFMotionTrailMgr_BC::DestroySystem( u32 ) {
}

void EFMotionTrailMgr_BC::SetFrequency( u32, f32 ) {
}

void EFMotionTrailMgr_BC::SetLifeSpan( u32, u32, f32 ) {
}

void EFMotionTrailMgr_BC::SetJoint( u32, u32, u32, u32 ) {
}

void EFMotionTrailMgr_BC::SetPosition( u32, u32, const DTVector3d* ) {
}

void EFMotionTrailMgr_BC::SetRGB( u32, u32, f32, f32, f32 ) {
}

void EFMotionTrailMgr_BC::Start( u32 ) {
}

void EFMotionTrailMgr_BC::StopTracking( u32 ) {
}

void EFMotionTrailMgr_BC::StopDraw( u32 ) {
}

void EFMotionTrailMgr_BC::Update( f32 ) {
	EFCallTraceAdd( "EFMotionTrailMgr_BC::Update" );
}

void EFMotionTrailMgr_BC::Terminate() {
	EFCallTraceAdd( "EFMotionTrailMgr_BC::Terminate" );
}

void EFMotionTrailMgr_BC::Render() {
	EFCallTraceAdd( "EFMotionTrailMgr_BC::Render" );
}
