#include "framework/core/EFWorld.h"

#include "framework/core/EFCallTrace.h"
#include "framework/core/EFGameObject.h"
#include "framework/graphics/EFLightMgr.h"

EFWorld* gpoWorldMgr = nullptr;

EFWorld::EFWorld() : muiSpecialObjectId( 0 ), moObjectList{ nullptr, nullptr, nullptr }, mpoStatic3dObj( nullptr ) {
	gpoEFLightMgr = new EFLightMgr();
}

EFWorld::~EFWorld() {
	delete gpoEFLightMgr;
	gpoEFLightMgr = nullptr;
	if ( gpoWorldMgr == this ) {
		gpoWorldMgr = nullptr;
	}
}

void EFWorld::Update( f32 ) {
	EFCallTraceAdd( "EFWorld::Update" );
}

void EFWorld::Terminate() {
	EFCallTraceAdd( "EFWorld::Terminate" );
}

void EFWorld::AddGameObject( EFGameObject* object ) {
	if ( object == nullptr ) {
		return;
	}
	moObjectMap.Set( object->GetUID(), object );
	MLISTPushFront( moObjectList, object->moLinkObj );
}

void EFWorld::RemoveGameObject( const u32 id ) {
	DTMap<u32, EFGameObject*>::Node* const node = moObjectMap.Find( id );
	if ( node == nullptr ) {
		return;
	}
	MLISTUnlink( node->mValue->moLinkObj );
	moObjectMap.Remove( id );
}

EFGameObject* EFWorld::FindGameObject( const u32 id ) const {
	const DTMap<u32, EFGameObject*>::Node* const node = moObjectMap.Find( id );
	return node != nullptr ? node->mValue : nullptr;
}

EFGameObject* EFWorld::GetFirstGameObject() const {
	return moObjectList.pNext != nullptr ? moObjectList.pNext->GetData<EFGameObject>() : nullptr;
}

void EFWorld::Add3dObj( EF3dObj* ) {
	EFCallTraceAdd( "EFWorld::Add3dObj" );
}

void EFWorld::Remove3dObj( EF3dObj* ) {
	EFCallTraceAdd( "EFWorld::Remove3dObj" );
}
