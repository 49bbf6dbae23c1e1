#include "framework/logic/EFCustomLibBank.h"

#include "datatypes/memory/MMMemory.h"
#include "framework/core/engine/EFCallTrace.h"

#include <cstring>

DTSimpleLinkList<_stCustomLib> EFCustomLibBank::mBank;

namespace {

bool SameName( const _stCustomLib * node, const char * name ) {
	return std::strncmp( node->mszName, name != nullptr ? name : "", EF_CUSTOM_LIB_NAME_CHARS ) == 0;
}

} // namespace

EFCustomLibBank::~EFCustomLibBank() {
	Destroy();
}

void * EFCustomLibBank::RegisterLib( const char * name, const u32 size ) {
	_stCustomLib * node = static_cast<_stCustomLib *>( MMMalloc( sizeof( _stCustomLib ) ) );
	if ( node == nullptr ) {
		return nullptr;
	}
	void * block = MMMalloc( size );
	if ( block == nullptr ) {
		MMFree( node );
		return nullptr;
	}
	std::memset( node->mszName, 0, sizeof( node->mszName ) );
	std::strncpy( node->mszName, name != nullptr ? name : "", EF_CUSTOM_LIB_NAME_CHARS );
	node->mpBlock = block;
	node->muiSizeInWords = size / 4;
	node->mpNext = mBank.mpFirst;
	mBank.mpFirst = node;
	if ( mBank.mpLast == nullptr ) {
		mBank.mpLast = node;
	}
	return block;
}

void EFCustomLibBank::UnRegisterLib( const char * name ) {
	_stCustomLib * previous = nullptr;
	for ( _stCustomLib * node = mBank.mpFirst; node != nullptr; previous = node, node = node->mpNext ) {
		if ( !SameName( node, name ) ) {
			continue;
		}
		if ( previous != nullptr ) {
			previous->mpNext = node->mpNext;
		} else {
			mBank.mpFirst = node->mpNext;
		}
		if ( mBank.mpLast == node ) {
			mBank.mpLast = previous;
		}
		MMFree( node->mpBlock );
		MMFree( node );
		return;
	}
}

void * EFCustomLibBank::GetLib( const char * name ) {
	for ( const _stCustomLib * node = mBank.mpFirst; node != nullptr; node = node->mpNext ) {
		if ( SameName( node, name ) ) {
			return node->mpBlock;
		}
	}
	return nullptr;
}

void EFCustomLibBank::Destroy() {
	EFCallTraceAdd( "EFCustomLibBank::Destroy" );
	_stCustomLib * node = mBank.mpFirst;
	while ( node != nullptr ) {
		_stCustomLib * next = node->mpNext;
		MMFree( node->mpBlock );
		MMFree( node );
		node = next;
	}
	mBank.Reset();
}
