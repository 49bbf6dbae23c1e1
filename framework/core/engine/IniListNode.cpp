#include "framework/core/engine/IniListNode.h"

#include "framework/core/engine/EFIniFile.h"

IniListNode::IniListNode( const char* key, const char* value, const char* end ) {
	StrCpy( mszKey, key, end );
	StrCpy( mszValue, value, end );
	mi32Bool = GetBoolValue( mszValue );
	mi32Integer = GetIntegerValue( mszValue );
	mfFloat = GetFloatValue( mszValue );
	mpNext = nullptr;
}
