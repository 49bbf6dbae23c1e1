#include "framework/graphics/effects/EFProjectorMgr_BC.h"

#include "framework/core/engine/EFCallTrace.h"

#include <new>

EFProjectorMgr_BC goProjectorMgr;

EFProjector_BC* EFProjectorMgr_BC::CreateProjector() {
	return nullptr;
}

EFProjector_BC* EFProjectorMgr_BC::GetProjector( u32 ) {
	return nullptr;
}

void EFProjectorMgr_BC::DestroyProjector( u32 ) {
}

EFProjectorMgr_BC::~EFProjectorMgr_BC() {
	RemoveAllReceivers();
}

u32 EFProjectorMgr_BC::AddReceiver( EFGameObject* object, EF3dObj* model ) {
	Receiver* const receiver = new ( std::nothrow ) Receiver{ object, model, mpReceivers };
	if ( receiver == nullptr ) {
		return 0;
	}
	mpReceivers = receiver;
	return 1;
}

u32 EFProjectorMgr_BC::RemoveReceiver( EFGameObject* object ) {
	for ( Receiver** link = &mpReceivers; *link != nullptr; link = &( *link )->mpNext ) {
		if ( ( *link )->mpoObject == object ) {
			Receiver* const found = *link;
			*link = found->mpNext;
			delete found;
			return 1;
		}
	}
	return 0;
}

void EFProjectorMgr_BC::Terminate() {
	EFCallTraceAdd( "EFProjectorMgr_BC::Terminate" );
	RemoveAllReceivers();
}

void EFProjectorMgr_BC::RemoveAllReceivers() {
	while ( mpReceivers != nullptr ) {
		Receiver* const next = mpReceivers->mpNext;
		delete mpReceivers;
		mpReceivers = next;
	}
}

void EFProjectorMgr_BC::Begin( u32 ) {
	EFCallTraceAdd( "EFProjectorMgr_BC::Begin" );
}

void EFProjectorMgr_BC::End() {
	EFCallTraceAdd( "EFProjectorMgr_BC::End" );
}
