#include "framework/logic/EFLogicCodeLib.h"

#include "datatypes/registry/DTDynamicInstanciator.h"
#include "datatypes/file/DTFile.h"

DT_IMPLEMENT_DYNAMIC_CLASS( EFLogicCodeLib, "EF_LIBRARY_FILE", EF_LOGIC_CODE_LIB_CLASS_ID, IT_OBJECT );

EFLogicCodeLib::EFLogicCodeLib() {
}

EFLogicCodeLib::~EFLogicCodeLib() {
}

s32 EFLogicCodeLib::GetClassID() const {
	return EF_LOGIC_CODE_LIB_CLASS_ID;
}

const char * EFLogicCodeLib::GetClassName() const {
	return "EF_LIBRARY_FILE";
}

s32 EFLogicCodeLib::LoadFile( DTBasePersistStream & stream ) {
	const s32 result = EFLogicCode::LoadFile( stream );
	if ( result == EF_LINK_OK ) {
		Register();
	}
	return result;
}

void EFLogicCodeLib::Register() {
	if ( mpfnRegisterLib == nullptr ) {
		DTPrintf( "WARNING: library %s has no register entry!!!\n", mpObjectName != nullptr ? mpObjectName : "" );
		return;
	}
	mpfnRegisterLib( &APIcons );
}
