# The Debian packages, built by CPack from the same install rules as `cmake --install`:
# "branchwick" (the game) and "branchwick-tools" (dan, datapack and branchwick-replay, for
# modders). scripts/build-deb builds them and runs lintian. CPack rather than a debian/ folder:
# the packages come from the one set of install rules that `cmake --install` uses and from the
# build CI has already made, with no second build; dpkg-shlibdeps still computes the
# dependencies from the binaries.
set(BW_MAINTAINER "The Branchwick team <team@branchwick.org>" CACHE STRING
    "Maintainer of the Debian packages")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME branchwick)
set(CPACK_PACKAGE_VENDOR "The Branchwick team")
set(CPACK_PACKAGE_VERSION ${BW_GAME_VERSION})
set(CPACK_PACKAGE_CONTACT ${BW_MAINTAINER})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL game tools)
set(CPACK_COMPONENT_TOOLS_DEPENDS game)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${BW_PROJECT_URL})

set(CPACK_DEBIAN_GAME_PACKAGE_NAME branchwick)
# SDL and libepoxy open the OpenGL libraries at run time, so no linked library names them.
set(CPACK_DEBIAN_GAME_PACKAGE_DEPENDS "libgl1, libegl1")
set(CPACK_DEBIAN_GAME_PACKAGE_RECOMMENDS "libgl1-mesa-dri")
set(CPACK_DEBIAN_GAME_DESCRIPTION
    "casual puzzle game: lead birds of a kind together on the board
Birds of six kinds stand on a board of up to 16 x 16 cells. Drag a bird along
a path of free cells, and groups of three or more of one kind fly off and
score. A move without a match lets eggs hatch and new eggs appear, while cats,
walls, crows and gates get in the way.

Levels are spread over twelve locations on a map, with player profiles,
awards, a tutorial, music and cut-scenes around them.")

set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME branchwick-tools)
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_TOOLS_DESCRIPTION
    "data tools and replay harness for the Branchwick puzzle game
For modders of Branchwick: dan lists, reads, builds and checks the game's data
archives, datapack builds the archives from their sources and checks them and
level files, and branchwick-replay plays the game unattended from a script,
with screenshots and state dumps.")

include(CPack)
