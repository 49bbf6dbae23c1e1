#include "framework/core/input/EFDemoLoop.h"

#include "framework/core/engine/EFCallTrace.h"

EFDemoLoop::EFDemoLoop() {
	mui32State = 0;
}

EFDemoLoop::~EFDemoLoop() {
}

void EFDemoLoop::StartFrame() {
	EFCallTraceAdd( "EFDemoLoop::StartFrame" );
}

void EFDemoLoop::UpdateDeltaTime( f32* ) {
	EFCallTraceAdd( "EFDemoLoop::UpdateDeltaTime" );
}

void EFDemoLoop::EndFrame() {
	EFCallTraceAdd( "EFDemoLoop::EndFrame" );
}

void EFDemoLoop::UpdateAction( s32*, ActionState*, ActionState* ) {
	EFCallTraceAdd( "EFDemoLoop::UpdateAction" );
}
