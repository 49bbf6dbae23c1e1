#include "datatypes/node/DTAttrib.h"

#include <new>

DTAttrib::DTAttrib() : meType( AT_NONE ), muiState( 0 ), muiNbStruct( 0 ), mpDataBlock( nullptr ), mpNext( nullptr ) {
}

DTAttrib::DTAttrib( const DTAttribType type )
	: meType( type ), muiState( 0 ), muiNbStruct( 0 ), mpDataBlock( nullptr ), mpNext( nullptr ) {
}

DTAttrib::DTAttrib( const DTAttrib & other )
	: meType( other.meType ), muiState( 0 ), muiNbStruct( other.muiNbStruct ), mpDataBlock( other.mpDataBlock ),
	  mpNext( nullptr ) {
}

DTAttrib::~DTAttrib() {
	if ( ( muiState & DT_ATTRIB_OWNS_BLOCK ) != 0 ) {
		::operator delete( mpDataBlock );
	}
	mpDataBlock = nullptr;
}
