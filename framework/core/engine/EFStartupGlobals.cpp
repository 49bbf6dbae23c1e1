#include "framework/core/engine/EFStartupGlobals.h"

namespace {

EFOsInterfaceMgrCreator	goOsInterfaceMgrCreator = nullptr;

}

EFOsInterfaceMgrCreator EFSetOsInterfaceMgrCreator( const EFOsInterfaceMgrCreator creator ) {
	const EFOsInterfaceMgrCreator previous = goOsInterfaceMgrCreator;
	goOsInterfaceMgrCreator = creator;
	return previous;
}

EFOsInterfaceMgrCreator EFGetOsInterfaceMgrCreator() {
	return goOsInterfaceMgrCreator;
}
